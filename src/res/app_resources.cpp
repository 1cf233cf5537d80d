#include "app_resources.h"

#include "embedded_art.h"
#include "dialog_templates.h"
#include "framework/app.h"
#include "framework/resources.h"

namespace {

void RegisterFile(HMODULE module, LPCWSTR type, UINT id, EmbeddedFile file) {
  RegisterResource(module, type, id, file.data, file.size);
}

void RegisterTemplate(HMODULE module, UINT id, const DialogTemplate& t) {
  RegisterResource(module, RT_DIALOG, id, &t, sizeof t);
}

}  // namespace

void RegisterApplicationResources() {
  HMODULE module = AfxGetInstanceHandle();
  const wchar_t* png = L"PNG";
  RegisterFile(module, png, 155, BackgroundPng());
  RegisterFile(module, png, 160, CloseStripPng());
  RegisterFile(module, png, 162, MinimiseStripPng());
  RegisterFile(module, png, 175, ConfirmStripPng());
  RegisterFile(module, png, 176, CancelStripPng());
  RegisterFile(module, RT_BITMAP, 177, ConfirmBackdropBmp());
  RegisterFile(module, RT_GROUP_ICON, 128, IconPng());
  RegisterTemplate(module, 102, kMainWindowTemplate);
  RegisterTemplate(module, 132, kLoginPanelTemplate);
  RegisterTemplate(module, 172, kConfirmationTemplate);
}
