#pragma once

// The translation service client: TranslateText and the pieces it is made of.
#include "client/ConnectionOptions.h"
#include "client/ReplyInterpretation.h"
#include "client/SignedRequest.h"
#include "client/TranslateFailure.h"
#include "client/TranslateText.h"
