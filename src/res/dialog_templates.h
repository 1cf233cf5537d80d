// The dialog templates: 102 (main window), 132 (login panel), 172
// (confirmation).
#pragma once

#include "framework/dialog_template.h"

extern const DialogTemplate kMainWindowTemplate;    // 102
extern const DialogTemplate kLoginPanelTemplate;    // 132
extern const DialogTemplate kConfirmationTemplate;  // 172
