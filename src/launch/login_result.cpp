#include "launch/login_result.h"

#include <json/json.h>

#include <exception>
#include <fstream>

namespace {

// A member's text: strings as the reader gives them, integers in decimal.
bool MemberText(const Json::Value& root, const char* name, std::string& text) {
  if (!root.isMember(name)) return false;
  const Json::Value& value = root[name];
  switch (value.type()) {
    case Json::stringValue: text = value.asCString(); return true;
    case Json::intValue: text = std::to_string(value.asLargestInt()); return true;
    case Json::uintValue: text = std::to_string(value.asLargestUInt()); return true;
    default: return false;
  }
}

}  // namespace

std::optional<LoginFields> ParseLoginPayload(const std::string& payload) {
  Json::Value root;
  try {
    Json::Reader reader;
    if (!reader.parse(payload, root)) return std::nullopt;
  } catch (const std::exception&) {
    return std::nullopt;  // the reader gives up on very deep nesting by throwing
  }
  if (!root.isObject()) return std::nullopt;
  LoginFields fields;
  if (!MemberText(root, "uid", fields.uid) || !MemberText(root, "token", fields.token) ||
      !MemberText(root, "server_id", fields.serverId) || !MemberText(root, "other", fields.other) ||
      !MemberText(root, "sign", fields.sign))
    return std::nullopt;
  return fields;
}

CString AuthenticationPart(const LoginFields& fields) {
  return CString(fields.token.c_str()) + L"&" + CString(fields.serverId.c_str()) + L"&" +
         CString(fields.other.c_str()) + L"&" + CString(fields.sign.c_str());
}

CString LaunchArgumentText(const LoginFields& fields) {
  return CString(L" ,id^") + CString(fields.uid.c_str()) + L",auth_key^" + AuthenticationPart(fields);
}

void ProcessLoginResultWith(const CString& payload, const std::function<void(const CString&)>& startGame,
                            const std::function<void()>& clearLinkHooks) {
  // Opened anew per payload and appended to; a log that cannot be opened
  // just drops its lines.
  std::ofstream log("log.txt", std::ios::out | std::ios::app);
  const std::string narrowPayload = NarrowText(payload.str());
  log << narrowPayload << std::endl;

  std::optional<LoginFields> fields = ParseLoginPayload(narrowPayload);
  if (!fields) return;
  log << NarrowText(AuthenticationPart(*fields).str()) << std::endl;
  startGame(LaunchArgumentText(*fields));
  if (clearLinkHooks) clearLinkHooks();
}
