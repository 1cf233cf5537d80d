// A real toolkit widget (the browser view) standing in for a child
// window's content. The gtk backend keeps it placed over the child's
// rectangle and shows it exactly while the child is visible.
#pragma once

#include "wintypes.h"

typedef struct _GtkWidget GtkWidget;

void AttachNativeWidget(HWND child, GtkWidget* widget);
GtkWidget* NativeWidgetOf(HWND child);
