// The small modal box that asks whether to close the game: a 256 × 110
// pixel picture with a white title and question and two sprite buttons.
// DoModal answers IDOK for confirm, IDCANCEL for cancel, Escape, Alt+F4
// and WM_CLOSE, and -1 when the box cannot be created.
#pragma once

#include "controls/png_button.h"
#include "framework/app_services.h"
#include "framework/gdi.h"
#include "framework/window.h"

class CConfirmDlg : public CDialogEx {
 public:
  enum { IDD = 172 };

  CConfirmDlg();
  ~CConfirmDlg() override;

  static const CRuntimeClass classInfo;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  void OnBnClickedOk();
  void OnBnClickedCancel();
  void OnPaint();
  void OnClose();
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()

  CPngButton m_btnOK;      // control 1008, strip PNG 175
  CPngButton m_btnCancel;  // control 1009, strip PNG 176
  CBitmap m_bmpBack;       // bitmap 177
  CStatic m_stTitle;       // control 1002
  CStatic m_stText;        // control 1003
  CFont m_fontTitle;       // the title's 12-point Arial, alive as long as the box
};
