// POSITION: the opaque place of an element in a CList or a CMap, handed out by
// GetHeadPosition / GetStartPosition and advanced by GetNext / GetNextAssoc. A null POSITION
// means "no element" (the end of the walk).
#pragma once

struct PositionTag;
typedef PositionTag* POSITION;
