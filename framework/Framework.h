// The framework layer in one include: the program's code includes this header.
#pragma once

#include <windows.h>

#include "Exception.h"
#include "Geometry.h"
#include "Object.h"
#include "String.h"
