#pragma once

#include "logindex/BoardItemText.h"

namespace kavrel::commands {
namespace boarditem = kavrel::boarditem;
}
