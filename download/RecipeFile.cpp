#include "RecipeFile.h"

#include "FileCrypt.h"

#include <windows.h>

namespace {

// A new, empty document for the recipe.
IXMLDOMDocument2Ptr EmptyRecipe()
{
    IXMLDOMDocument2Ptr recipe = CreateDomDocument();
    recipe->Putasync(VARIANT_FALSE);
    return recipe;
}

} // namespace

RecipeFileState LoadRecipeFile(const CString& path, IXMLDOMDocument2Ptr& recipe)
{
    recipe = EmptyRecipe();
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? RecipeFileState::Missing
                                                                              : RecipeFileState::Unopenable;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return RecipeFileState::Unopenable;

    CFileCrypt crypt;
    CString text;
    if (!crypt.ReadEncryptedFile(path, text)) {
        // A file that opens as the reader opens it was refused by the cipher: its length is
        // no whole number of cipher blocks.
        HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return RecipeFileState::Unopenable;
        ::CloseHandle(h);
        return RecipeFileState::Undecipherable;
    }
    RecipeFileState state = RecipeFileState::Read;
    if (text.IsEmpty() || recipe->loadXML(_bstr_t(text)) != VARIANT_TRUE) {
        state = RecipeFileState::Unparseable;
    } else {
        IXMLDOMElementPtr root = recipe->GetdocumentElement();
        if (!root || root->GettagName() != _bstr_t(L"ParsingInformation"))
            state = RecipeFileState::NotARecipe;
    }
    if (state != RecipeFileState::Read)
        recipe = EmptyRecipe();
    return state;
}

CString RecipeFileFaultText(RecipeFileState state, const CString& path)
{
    const char* reason = "";
    switch (state) {
    case RecipeFileState::Read:
        return CString();
    case RecipeFileState::Missing:
        reason = "it is missing";
        break;
    case RecipeFileState::Unopenable:
        reason = "it cannot be opened";
        break;
    case RecipeFileState::Undecipherable:
    case RecipeFileState::Unparseable:
        reason = "it is damaged";
        break;
    case RecipeFileState::NotARecipe:
        reason = "it holds data of another kind";
        break;
    }
    const int slash = path.ReverseFind('\\');
    const CString name = slash >= 0 ? path.Mid(slash + 1) : path;
    return "The recipe file " + name + " cannot be read: " + reason + ".\n" + path;
}
