#include "update_layered_tool.h"

#include <new>

#include "framework/window.h"

namespace {
UpdateLayeredTool* g_instance = nullptr;
}

UpdateLayeredTool* UpdateLayeredTool::Instance() {
  if (g_instance) return g_instance;
  auto* tool = new (std::nothrow) UpdateLayeredTool;
  if (!tool) return nullptr;
  tool->m_hUser32 = LoadLibraryW(L"User32.DLL");
  if (tool->m_hUser32) {
    tool->m_pfnUpdateLayeredWindow =
        reinterpret_cast<PFN_UpdateLayeredWindow>(GetProcAddress(tool->m_hUser32, "UpdateLayeredWindow"));
    tool->m_pfnSetLayeredWindowAttributes =
        reinterpret_cast<PFN_SetLayeredWindowAttributes>(GetProcAddress(tool->m_hUser32, "SetLayeredWindowAttributes"));
  }
  // Kept even without the library: loading is not tried again.
  g_instance = tool;
  return g_instance;
}

UpdateLayeredTool::~UpdateLayeredTool() {
  if (m_hUser32) FreeLibrary(m_hUser32);
}

void UpdateLayeredTool::ResetInstanceForTesting() {
  delete g_instance;
  g_instance = nullptr;
}
