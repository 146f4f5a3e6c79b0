// tessel_registry_rows: runs the control module's DllRegisterServer against
// the in-memory registry and writes what it recorded, with the installed
// file in place of the module's path, either as the registry rows of one
// installer component, so that a package registers exactly what the module
// registers, or as a registry file, which the package checks import into a
// registry view to compare a package's rows with.
//
//   tessel_registry_rows x64|x86 COMPONENT FILE_ID FOLDER_PROPERTY ROWS_OUT KEYS_OUT
//   tessel_registry_rows x64|x86 --reg MODULE_PATH REG_OUT
//
// ROWS_OUT receives one WiX <RegistryValue/> element a value. The installer
// source has no element for a key without values nor for a key removed with
// everything below it, so KEYS_OUT receives those as rows of the package's
// Registry table, one SQL statement a line: the keys that hold no value,
// created on install and removed on removal ("*"), and the top keys of the
// registration, removed whole on removal ("-"), so that nothing a hand
// registration of another version left below them survives a removal.
//
// REG_OUT receives the keys and values below HKEY_CLASSES_ROOT as a REGEDIT4
// file, MODULE_PATH (a Windows path) naming the module and its folder.
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "control/TesselAdapterApp.h"
#include "platform/OleRegistration.h"
#include "platform/Utf8.h"
#include "platform/posix/RegistryStore.h"
#include "platform/posix/TypeLibraryResource.h"

namespace {

// The folders every machine has, below which a registration makes its own
// keys.
const char16_t* const kMachineFolders[] = {u"CLSID", u"Interface", u"TypeLib", u"Wow6432Node\\Interface"};

void CreateKey(const std::u16string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    if (from.empty()) return;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::string XmlAttribute(std::string text) {
    ReplaceAll(text, "&", "&amp;");
    ReplaceAll(text, "<", "&lt;");
    ReplaceAll(text, ">", "&gt;");
    ReplaceAll(text, "\"", "&quot;");
    return text;
}

// A text the installer formats: brackets are its own, and a leading # would
// make the text a number.
std::string Formatted(std::string text) {
    std::string out;
    for (const char c : text) out += c == '[' ? "[\\[]" : c == ']' ? "[\\]]" : std::string(1, c);
    return !out.empty() && out[0] == '#' ? "#" + out : out;
}

std::string SqlText(std::string text) {
    ReplaceAll(text, "'", "''");
    return "'" + text + "'";
}

std::string Parent(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// What one registration wrote: the keys it created, in the order of their
// paths, and the module and folder its values name.
struct Registration {
    std::vector<std::u16string> created;
    std::string module, folder;
};

bool Record(const std::string& bitness, Registration& out) {
    platform::SetRegisteredModuleBitness(bitness == "x86" ? platform::ModuleBitness::x86
                                                          : platform::ModuleBitness::x64);
    platform::ClearRegistry();
    for (const char16_t* folder : kMachineFolders) CreateKey(folder);
    std::set<std::string> before;
    for (const std::u16string& path : platform::RegistryKeyPaths()) before.insert(ToUtf8(path));

    const HRESULT hr = DllRegisterServer();
    if (FAILED(hr)) {
        std::cerr << "DllRegisterServer failed: 0x" << std::hex << static_cast<unsigned long>(hr) << "\n";
        return false;
    }
    out.module = ToUtf8(ModuleFileName(nullptr));
    // The module is a file of this system: its folder ends at the last slash.
    out.folder = out.module.substr(0, out.module.find_last_of('/'));
    for (const std::u16string& path : platform::RegistryKeyPaths())
        if (!before.count(ToUtf8(path))) out.created.push_back(path);
    return true;
}

struct ComponentOptions {
    std::string component, fileId, folderProperty, rowsPath, keysPath;
};

int WriteComponent(const Registration& r, const ComponentOptions& o) {
    std::set<std::string> createdSet, parents;
    for (const std::u16string& path : r.created) {
        createdSet.insert(ToUtf8(path));
        parents.insert(Parent(ToUtf8(path)));
    }
    // Formatted before the file and folder go in: their references are the
    // installer's own brackets.
    const std::string module = Formatted(r.module), folder = Formatted(r.folder);
    std::ofstream rows(o.rowsPath), keys(o.keysPath);
    int keyRows = 0;
    auto keyRow = [&](const std::string& key, const char* name) {
        keys << "INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`) VALUES ("
             << SqlText(o.component + ".key" + std::to_string(++keyRows)) << ", 0, " << SqlText(key) << ", "
             << SqlText(name) << ", " << SqlText(o.component) << ")\n";
    };
    for (const std::u16string& path : r.created) {
        const std::string key = ToUtf8(path);
        const std::vector<platform::RegistryTextValue> values = platform::RegistryTextValues(path);
        for (const platform::RegistryTextValue& value : values) {
            std::string text = Formatted(ToUtf8(value.text));
            ReplaceAll(text, module, "[#" + o.fileId + "]");
            ReplaceAll(text, folder, "[" + o.folderProperty + "]");
            rows << "<RegistryValue Root=\"HKCR\" Key=\"" << XmlAttribute(key) << "\"";
            if (!value.name.empty()) rows << " Name=\"" << XmlAttribute(ToUtf8(value.name)) << "\"";
            rows << " Type=\"string\" Value=\"" << XmlAttribute(text) << "\"/>\n";
        }
        if (values.empty() && !parents.count(key)) keyRow(key, "*");
        if (!createdSet.count(Parent(key))) keyRow(key, "-");
    }
    return rows && keys ? 0 : 1;
}

std::string RegText(std::string text) {
    ReplaceAll(text, "\\", "\\\\");
    ReplaceAll(text, "\"", "\\\"");
    return "\"" + text + "\"";
}

int WriteRegFile(const Registration& r, const std::string& module, const std::string& regPath) {
    const std::string folder = module.substr(0, module.find_last_of('\\'));
    std::ofstream reg(regPath);
    reg << "REGEDIT4\n";
    for (const std::u16string& path : r.created) {
        reg << "\n[HKEY_CLASSES_ROOT\\" << ToUtf8(path) << "]\n";
        for (const platform::RegistryTextValue& value : platform::RegistryTextValues(path)) {
            std::string text = ToUtf8(value.text);
            ReplaceAll(text, r.module, module);
            ReplaceAll(text, r.folder, folder);
            reg << (value.name.empty() ? std::string("@") : RegText(ToUtf8(value.name))) << "=" << RegText(text) << "\n";
        }
    }
    return reg ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool component = args.size() == 6, regFile = args.size() == 4 && args[1] == "--reg";
    if ((!component && !regFile) || (args[0] != "x64" && args[0] != "x86")) {
        std::cerr << "usage: " << argv[0] << " x64|x86 COMPONENT FILE_ID FOLDER_PROPERTY ROWS_OUT KEYS_OUT\n"
                  << "       " << argv[0] << " x64|x86 --reg MODULE_PATH REG_OUT\n";
        return 2;
    }
    Registration registration;
    if (!Record(args[0], registration)) return 1;
    if (regFile) return WriteRegFile(registration, args[2], args[3]);
    return WriteComponent(registration, {args[1], args[2], args[3], args[4], args[5]});
}
