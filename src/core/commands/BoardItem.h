#pragma once

#include "base/BoardItemText.h"

namespace kavrel::commands {
namespace boarditem = kavrel::boarditem;
}
