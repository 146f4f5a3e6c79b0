#include "control/TesselAdapterPropPage.h"

#include "control/TesselAdapterResources.h"

const CLSID CLSID_TesselAdapterPropPage = {0x04A4CC2B, 0x6452, 0x11D3, {0x96, 0xB4, 0x00, 0x04, 0xAC, 0x96, 0x57, 0x2D}};

CTesselAdapterPropPage::CTesselAdapterPropPage()
    : COlePropertyPage(resources::IDD_PROPPAGE_TESSELADAPTER, resources::IDS_TESSELADAPTER_PPG_CAPTION) {}

void CTesselAdapterPropPage::DoDataExchange() { DDP_PostProcessing(); }
