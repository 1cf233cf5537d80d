// The control-site manager of the application: every hosted control gets
// a CCustomControlSite.
#pragma once

#include "framework/occ.h"

class CCustomOccManager : public COccManager {
 public:
  CCustomOccManager() = default;
  ~CCustomOccManager() override = default;
  // A new CCustomControlSite over the container, or null when it cannot be
  // allocated.
  COleControlSite* CreateSite(COleControlContainer* pCtrlCont) override;
};
