#pragma once

#include "platform/Failure.h"

#include <QString>

// The one error message: "Error # ", the number (a blank before it unless it is
// negative), a CR, and the description.
QString errorMessageText(const Failure& failure);
