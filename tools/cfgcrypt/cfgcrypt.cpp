// cfgcrypt: enciphers a plain XML file into the program's data-file format, or deciphers one.
//   cfgcrypt enc PLAIN CIPHER
//   cfgcrypt dec CIPHER PLAIN
// Deciphering keeps the padding blanks, as the program itself does.
#include "FileCrypt.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

int Fail(const char* what, const char* path)
{
    std::fprintf(stderr, "cfgcrypt: %s: %s\n", what, path);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 || (std::strcmp(argv[1], "enc") != 0 && std::strcmp(argv[1], "dec") != 0)) {
        std::fprintf(stderr, "usage: cfgcrypt enc PLAIN CIPHER\n       cfgcrypt dec CIPHER PLAIN\n");
        return 1;
    }
    CFileCrypt crypt;
    if (std::strcmp(argv[1], "enc") == 0) {
        std::ifstream in(argv[2], std::ios::binary);
        if (!in)
            return Fail("cannot read", argv[2]);
        std::string plain((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad())
            return Fail("cannot read", argv[2]);
        if (!crypt.WriteEncryptedFile(CString(plain), argv[3]))
            return Fail("cannot write", argv[3]);
        return 0;
    }
    CString plain;
    if (!crypt.ReadEncryptedFile(argv[2], plain))
        return Fail("cannot read or decipher", argv[2]);
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out.write(plain, plain.GetLength());
    out.close();
    if (!out)
        return Fail("cannot write", argv[3]);
    return 0;
}
