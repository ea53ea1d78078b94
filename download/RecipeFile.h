// Reading a recipe file as the worker threads take it: deciphered, parsed, and a recipe (its
// root is ParsingInformation). Download.cfg is read so at every search and download, and a new
// recipe (NewConfig.cfg) is read so before it may take Download.cfg's place.
#pragma once

#include "XmlHelpers.h"

enum class RecipeFileState
{
    Read,            // a recipe
    Missing,         // no such file
    Unopenable,      // the file is there but cannot be opened or read
    Undecipherable,  // its bytes are no cipher text of the program's
    Unparseable,     // deciphered, it is no XML
    NotARecipe,      // well-formed XML, but its root is not ParsingInformation
};

// Reads the file at the path into a new document, which stays empty unless the state is Read.
RecipeFileState LoadRecipeFile(const CString& path, IXMLDOMDocument2Ptr& recipe);

// What is wrong with the file, for the user: "The recipe file Download.cfg cannot be read:
// it is missing." and the path on a line of its own.
CString RecipeFileFaultText(RecipeFileState state, const CString& path);
