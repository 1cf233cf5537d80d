// The main window: a borderless dialog whose look and outline are its
// background picture's, with the login panel laid exactly over it. The
// two windows move as one; m_bMainLeads says which of them leads.
#pragma once

#include "framework/window.h"
#include "mainwnd/layered_background.h"

class CLoginActiveDlg;

class CLoginDlg : public CDialogEx {
 public:
  CLoginDlg();
  ~CLoginDlg() override;

  HICON m_hIcon;
  BOOL m_bMainLeads;
  CLoginActiveDlg* m_pLoginActiveDlg;
  CLayeredBackground m_background;

  enum { IDD = 102 };

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}

  void OnPaint();
  HCURSOR OnQueryDragIcon();
  int OnCreate(LPCREATESTRUCT lpCreateStruct);
  LRESULT OnNcHitTest(CPoint point);
  void OnMove(int x, int y);
  void OnShowWindow(BOOL bShow, UINT nStatus);
  void OnClose();

  DECLARE_EVENTSINK_MAP()
  DECLARE_MESSAGE_MAP()
};
