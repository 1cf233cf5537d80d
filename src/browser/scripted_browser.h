// An in-memory browser for headless tests of the code that hosts it. The
// test describes pages (address, elements in document order, frames with
// their own addresses); Navigate queues a load, and DeliverPending plays
// it as a browser would:
//   BeforeNavigate2(top)  -- a cancel stops here
//   NavigateComplete2(top)
//   for each frame: BeforeNavigate2(frame), NavigateComplete2(frame),
//                   DocumentComplete(frame)
//   DocumentComplete(top)
// An address no page was described for loads as an empty document. A
// click on a link fires the click event on its sinks and then queues the
// navigation to its address, as following a link does.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "browser/browser_control.h"
#include "browser/external_dispatch.h"

struct ScriptedElement {
  ScriptedElement(std::wstring tagName) : tag(std::move(tagName)) {}  // implicit: {L"HTML"} reads well in tests
  ScriptedElement(std::wstring tagName, std::wstring address, bool withAddress = true)
      : tag(std::move(tagName)), href(std::move(address)), hasHref(withAddress) {}

  std::wstring tag;     // "A" makes a link
  std::wstring href;    // links only
  bool hasHref = true;  // a link without an address reports ""
};

struct ScriptedPage {
  std::wstring url;
  std::vector<ScriptedElement> elements;
  std::vector<std::wstring> frames;  // addresses of the page's frames
};

class ScriptedBrowser final : public BrowserControl {
 public:
  // clientSite may be null (no host handler). One reference.
  explicit ScriptedBrowser(IUnknown* clientSite = nullptr);

  void AddPage(const ScriptedPage& page);
  void Navigate(const std::wstring& url) override;

  // Loads queued by Navigate and by link clicks, not yet played.
  size_t PendingCount() const { return m_pending.size(); }
  // Plays every queued load (and the ones they queue); answers how many.
  size_t DeliverPending();

  // A click on the element at that position of the current document:
  // the element's sinks get the click event; a link then queues the load
  // of its address (an empty address loads nothing). False when there is
  // no such element.
  bool ClickElement(size_t position);

  // Page script reading window.external.<name> and calling it.
  ExternalProperty ScriptRead(const std::wstring& name);
  // Reads the name, then calls it when it is a method; as script would.
  ExternalCallResult ScriptCall(const std::wstring& name, const std::vector<channel::Value>& args);

  // Addresses of the loads started, in order (cancelled ones included).
  const std::vector<std::wstring>& NavigationLog() const { return m_log; }

 private:
  ~ScriptedBrowser() override = default;
  void Load(const std::wstring& url);

  std::map<std::wstring, ScriptedPage> m_pages;
  std::deque<std::wstring> m_pending;
  std::vector<std::wstring> m_log;
  uint64_t m_nextElementId = 1;
  unsigned m_documentSerial = 0;
};
