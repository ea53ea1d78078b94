// The framework layer in one include: the program's code includes this header.
#pragma once

#include <windows.h>

#include "Exception.h"
#include "Geometry.h"
#include "HttpConnection.h"
#include "HttpFile.h"
#include "InternetException.h"
#include "InternetFile.h"
#include "InternetSession.h"
#include "Object.h"
#include "ParseURL.h"
#include "String.h"
