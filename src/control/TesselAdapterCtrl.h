// CTesselAdapterCtrl: the one control of the module and the only thing the
// host talks to. It routes: table properties go through the table reader
// into a converter and, when filled, to the chart; write-back getters take
// the chart's grid back into the table the reader kept; the other members
// pass single values and commands straight to the chart.
//
// The dispatch map is the routing table: each entry names the member, its
// identifier, and the converter, layout versions and chart member it uses.
#pragma once

#include <span>

#include "control/ChartLink.h"
#include "control/ColorScheme.h"
#include "links/TemplateStore.h"
#include "platform/OleControl.h"
#include "scorecard/TreeItems.h"
#include "tables/LayoutVersion.h"
#include "tables/TableReader.h"

class CBlob;
class CContextMenu;
class CVantorStrings;

extern const IID IID_DTesselAdapter;
extern const IID IID_DTesselAdapterEvents;
extern const CLSID CLSID_TesselAdapter;

class CTesselAdapterCtrl : public COleControl {
public:
    CTesselAdapterCtrl();
    ~CTesselAdapterCtrl() override;

    static constexpr SHORT kDefaultVersion = 20;

    // The 53 members in identifier order: what the host may call, and what
    // the type library and the command-line host describe.
    static std::span<const DispEntry> DispatchMap();

protected:
    std::span<const DispEntry> GetDispatchMap() const override { return DispatchMap(); }
    const TypeLibraryId* TypeLibrary() const override;
    const CLSID& ClassId() const override { return CLSID_TesselAdapter; }
    std::span<const CLSID* const> PropertyPages() const override;
    void OnAmbientPropertyChange(DISPID dispid) override;

private:
    // Table setters and getters, one template per pattern; the dispatch map
    // instantiates them per member, with the member's detail.
    template <class Converter, LayoutPaths Paths, DISPID ChartProperty>
    void SetTablePut(LPDISPATCH table);
    template <class Converter, DISPID ChartProperty, LayoutPaths WriteBack>
    LPDISPATCH GetWrittenBack();
    template <CTemplateStore::Entry Entry, LayoutPaths Paths>
    void SetTemplateTable(LPDISPATCH table);
    template <LayoutPaths Paths, DISPID ChartMember>
    void SetCellTable(LPDISPATCH table);
    void SendGroup(DISPID member, const CTreeItems::tagObjectiveData& group);

    // What a filled table sends to the chart: a put of its grid, unless the
    // table's own overload says otherwise.
    void Send(DISPID property, COleSafeArray&& grid);
    void Send(DISPID method, CVantorStrings&& grid);
    void Send(DISPID method, CContextMenu&& grid);
    // How a write-back getter takes the chart's data.
    void Fetch(DISPID property, COleSafeArray& grid);
    void Fetch(DISPID property, CBlob& blob);

    // The dispatch entries of the table members.
    template <class Converter, LayoutPaths Paths, DISPID ChartProperty>
    static DispEntry TablePut(const char* name, DISPID id);
    template <class Converter, LayoutPaths Paths, DISPID PutProperty, DISPID GetProperty, LayoutPaths WriteBack>
    static DispEntry TableBothWays(const char* name, DISPID id);
    template <LayoutPaths Paths, DISPID ChartMember>
    static DispEntry CellTable(const char* name, DISPID id);
    template <CTemplateStore::Entry Entry>
    static DispEntry TemplateTable(const char* name, DISPID id);

    template <DISPID ChartProperty>
    LONG GetChartLong();
    template <DISPID ChartProperty>
    void SetChartLong(LONG value);

    // Selections and commands.
    template <int Which>
    BSTR GetObjectiveSelection();
    template <int Which>
    BSTR GetMatrixSelection();
    BSTR GetSelectedStrategy();
    enum class ItemSwitch { Disable, Enable, None };
    template <DISPID ChartMethod, ItemSwitch Switch>
    LONG SwitchContextMenuItem(LONG itemNb);
    void SetUseWEBGui(SHORT useWebGui);
    void SaveAsJPeg(BSTR dialogTitle);

    void HandleTesselCtrl(LPDISPATCH tesselHandle);
    void SendColours();
    void SendFont();
    void SetVersion(SHORT version);
    void AddTemplate();
    void AddTemplateEx();
    void SendTemplate(DISPID method, std::span<const CTemplateStore::Entry> entries);

    LONG Read(LayoutPaths paths, IDispatch* table, COrlinTableData& converter);

    // Declared first so that it goes last; it is used once, for the font.
    ComPtr<IHostEnvironment> hostEnvironment_;
    CChartLink chart_;
    CTableReader reader_;
    CColorScheme colours_;
    SHORT version_ = kDefaultVersion;
};
