// tessel_registry_rows: runs the control module's DllRegisterServer against
// the in-memory registry and writes what it recorded as the registry rows
// of one installer component, so that a package registers exactly what the
// module registers, with the installed file in place of the module's path.
//
//   tessel_registry_rows x64|x86 COMPONENT FILE_ID FOLDER_PROPERTY ROWS_OUT KEYS_OUT
//
// ROWS_OUT receives one WiX <RegistryValue/> element a value. The installer
// source has no element for a key without values nor for a key removed with
// everything below it, so KEYS_OUT receives those as rows of the package's
// Registry table, one SQL statement a line: the keys that hold no value,
// created on install and removed on removal ("*"), and the top keys of the
// registration, removed whole on removal ("-"), so that nothing a hand
// registration of another version left below them survives a removal.
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

struct Options {
    std::string bitness, component, fileId, folderProperty, rowsPath, keysPath;
};

int Write(const Options& o) {
    platform::SetRegisteredModuleBitness(o.bitness == "x86" ? platform::ModuleBitness::x86
                                                            : platform::ModuleBitness::x64);
    platform::ClearRegistry();
    for (const char16_t* folder : kMachineFolders) CreateKey(folder);
    std::set<std::string> before;
    for (const std::u16string& path : platform::RegistryKeyPaths()) before.insert(ToUtf8(path));

    const HRESULT hr = DllRegisterServer();
    if (FAILED(hr)) {
        std::cerr << "DllRegisterServer failed: 0x" << std::hex << static_cast<unsigned long>(hr) << "\n";
        return 1;
    }
    const std::string module = ToUtf8(ModuleFileName(nullptr));
    // The module is a file of this system: its folder ends at the last slash.
    const std::string folder = module.substr(0, module.find_last_of('/'));
    auto installed = [&](std::string text) {
        text = Formatted(text);
        ReplaceAll(text, Formatted(module), "[#" + o.fileId + "]");
        ReplaceAll(text, Formatted(folder), "[" + o.folderProperty + "]");
        return text;
    };

    std::vector<std::u16string> created;
    for (const std::u16string& path : platform::RegistryKeyPaths())
        if (!before.count(ToUtf8(path))) created.push_back(path);
    std::set<std::string> createdSet, parents;
    for (const std::u16string& path : created) {
        createdSet.insert(ToUtf8(path));
        parents.insert(Parent(ToUtf8(path)));
    }

    std::ofstream rows(o.rowsPath), keys(o.keysPath);
    int keyRows = 0;
    auto keyRow = [&](const std::string& key, const char* name) {
        keys << "INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`) VALUES ("
             << SqlText(o.component + ".key" + std::to_string(++keyRows)) << ", 0, " << SqlText(key) << ", "
             << SqlText(name) << ", " << SqlText(o.component) << ")\n";
    };
    for (const std::u16string& path : created) {
        const std::string key = ToUtf8(path);
        const std::vector<platform::RegistryTextValue> values = platform::RegistryTextValues(path);
        for (const platform::RegistryTextValue& value : values) {
            rows << "<RegistryValue Root=\"HKCR\" Key=\"" << XmlAttribute(key) << "\"";
            if (!value.name.empty()) rows << " Name=\"" << XmlAttribute(ToUtf8(value.name)) << "\"";
            rows << " Type=\"string\" Value=\"" << XmlAttribute(installed(ToUtf8(value.text))) << "\"/>\n";
        }
        if (values.empty() && !parents.count(key)) keyRow(key, "*");
        if (!createdSet.count(Parent(key))) keyRow(key, "-");
    }
    return rows && keys ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7 || (std::string(argv[1]) != "x64" && std::string(argv[1]) != "x86")) {
        std::cerr << "usage: " << argv[0] << " x64|x86 COMPONENT FILE_ID FOLDER_PROPERTY ROWS_OUT KEYS_OUT\n";
        return 2;
    }
    return Write({argv[1], argv[2], argv[3], argv[4], argv[5], argv[6]});
}
