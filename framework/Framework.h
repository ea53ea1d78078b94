// The framework layer in one include: the program's code includes this header.
#pragma once

#include <windows.h>

#include "Array.h"
#include "ComSupport.h"
#include "Exception.h"
#include "File.h"
#include "FileException.h"
#include "FileFind.h"
#include "Geometry.h"
#include "List.h"
#include "Map.h"
#include "MapStringToString.h"
#include "Msxml.h"
#include "Object.h"
#include "PtrArray.h"
#include "PtrList.h"
#include "StdioFile.h"
#include "String.h"
#include "StringArray.h"
#include "StringList.h"
#include "TextConversion.h"
#include "Time.h"
#include "TimeSpan.h"
