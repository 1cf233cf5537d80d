// The login result a page hands over: logged to "log.txt", turned into the
// launcher's argument text, and the game started with it.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "text.h"

struct LoginFields {
  std::string uid;
  std::string token;
  std::string serverId;
  std::string other;
  std::string sign;
};

// The five members of a login payload ("uid", "token", "server_id",
// "other", "sign"), each a string or an integer (as its decimal text).
// Nothing when the text is not JSON, not an object, lacks a member or has
// a member of another type.
std::optional<LoginFields> ParseLoginPayload(const std::string& payload);

// token & server_id & other & sign.
CString AuthenticationPart(const LoginFields& fields);
// " ,id^" uid ",auth_key^" authentication part, values verbatim.
CString LaunchArgumentText(const LoginFields& fields);

// Appends the payload line to "log.txt" in the current directory; when the
// payload holds a login, appends the authentication part, then calls
// startGame with the launch-argument text and finally clearLinkHooks.
void ProcessLoginResultWith(const CString& payload, const std::function<void(const CString&)>& startGame,
                            const std::function<void()>& clearLinkHooks);

// The same, starting the game through SetLaunchArgs and StartGame.
void ProcessLoginResult(const CString& payload, const std::function<void()>& clearLinkHooks);
