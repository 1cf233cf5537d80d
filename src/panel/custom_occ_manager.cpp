#include "custom_occ_manager.h"

#include <new>

#include "panel/custom_control_site.h"

COleControlSite* CCustomOccManager::CreateSite(COleControlContainer* pCtrlCont) {
  return new (std::nothrow) CCustomControlSite(pCtrlCont);
}
