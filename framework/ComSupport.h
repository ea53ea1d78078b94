// COM support: the SDK's _bstr_t, _variant_t, _com_error and _com_ptr_t (comdef.h), with the
// run-time pieces the SDK declares but does not ship, defined in ComSupport.cpp:
// - the BSTR <-> char* conversions behind _bstr_t and _variant_t, which go through
//   TextConversion.h (ANSI code page);
// - _com_issue_errorex, which raises _com_error carrying the object's IErrorInfo.
// A failing HRESULT in a smart-pointer call raises _com_error, as callers expect.
#pragma once

#include <windows.h>

#include <comdef.h>
