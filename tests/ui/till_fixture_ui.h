// The till fixture of the engine tests, shared with the window tests.
#pragma once

#include "till/till_fixture.h"
