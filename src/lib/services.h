#pragma once
#include "lang/value.h"

// HTTP through curl, sound through an external player.
Value httpGet(Args args);
Value httpPost(Args args);
Value httpJson(Args args);
Value audioPlay(Args args);
Value audioStream(Args args);
