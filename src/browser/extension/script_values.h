// Conversions between JavaScriptCore values and channel values.
#pragma once

#include <jsc/jsc.h>

#include "browser/channel_wire.h"

// Numbers that are whole and within 2^53 travel as integers; objects as
// their string form.
channel::Value ToChannelValue(JSCValue* value);
// A new reference.
JSCValue* ToScriptValue(JSCContext* context, const channel::Value& value);
