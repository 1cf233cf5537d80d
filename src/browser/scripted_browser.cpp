#include "browser/scripted_browser.h"

#include <string>

#include "framework/text.h"

ScriptedBrowser::ScriptedBrowser(IUnknown* clientSite) : BrowserControl(clientSite) {}

void ScriptedBrowser::AddPage(const ScriptedPage& page) { m_pages[page.url] = page; }

void ScriptedBrowser::Navigate(const std::wstring& url) { m_pending.push_back(url); }

size_t ScriptedBrowser::DeliverPending() {
  size_t played = 0;
  AddRef();  // a handler may lead the site to let go of us
  while (!m_pending.empty()) {
    std::wstring url = m_pending.front();
    m_pending.pop_front();
    Load(url);
    ++played;
  }
  Release();
  return played;
}

void ScriptedBrowser::Load(const std::wstring& url) {
  m_log.push_back(url);
  if (FireBeforeNavigate2(this, url, L"")) return;

  ScriptedPage page;
  auto known = m_pages.find(url);
  if (known != m_pages.end()) page = known->second;

  auto* document = new HtmlDocument(url, std::to_string(++m_documentSerial));
  std::vector<ElementInfo> elements;
  for (const ScriptedElement& e : page.elements) {
    ElementInfo info;
    info.id = m_nextElementId++;
    info.tag = e.tag;
    info.anchor = (e.tag == L"A" || e.tag == L"a");
    if (info.anchor && e.hasHref) info.href = e.href;
    elements.push_back(info);
  }
  document->SetElements(elements);
  SetCurrentDocument(document);
  FireNavigateComplete2(this, url);

  for (const std::wstring& frameUrl : page.frames) {
    auto* frame = new BrowserFrame(frameUrl);
    if (!FireBeforeNavigate2(frame, frameUrl, L"")) {
      FireNavigateComplete2(frame, frameUrl);
      FireDocumentComplete(frame, frameUrl);
    }
    frame->Release();
  }
  FireDocumentComplete(this, url);
}

bool ScriptedBrowser::ClickElement(size_t position) {
  HtmlDocument* document = CurrentDocument();
  HtmlElement* element = document ? document->ElementAt(position) : nullptr;
  if (!element) return false;
  element->AddRef();
  element->FireClick();
  if (element->Info().anchor && !element->Info().href.empty()) Navigate(element->Info().href);
  element->Release();
  return true;
}

ExternalProperty ScriptedBrowser::ScriptRead(const std::wstring& name) { return ReadExternalProperty(HostHandler(), name); }

ExternalCallResult ScriptedBrowser::ScriptCall(const std::wstring& name, const std::vector<channel::Value>& args) {
  ExternalProperty property = ScriptRead(name);
  if (property.kind != ExternalProperty::Kind::kMethod) {
    ExternalCallResult notCallable;
    notCallable.error = "window.external." + NarrowText(name) + " is not a function";
    return notCallable;
  }
  return CallExternalMethod(HostHandler(), property.dispid, args);
}
