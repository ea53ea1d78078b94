// CRijndael: the Rijndael block cipher with key and block lengths of 16, 24 or 32 bytes,
// table-driven, with ECB, CBC and CFB chaining over whole buffers. Errors are raised as
// std::runtime_error carrying one of the fixed texts below.
#pragma once

#include <cstddef>

class CRijndael
{
public:
    enum CipherMode { ECB = 0, CBC = 1, CFB = 2 };

    CRijndael();
    virtual ~CRijndael();

    // Checks the lengths, takes block-length bytes of the chain as the initial and current
    // chain block, and expands the key. Throws "Empty key", "Incorrect key length" or
    // "Incorrect block length".
    void MakeKey(const char* key, const char* chain, int keylength = 16, int blockSize = 16);

    void EncryptBlock(const char* in, char* result);
    void DecryptBlock(const char* in, char* result);

    // Whole buffers of n bytes, n a positive multiple of the block length. Modes other than
    // CBC and CFB run ECB. The chain block carries over from one call to the next.
    void Encrypt(const char* in, char* result, size_t n, int iMode = ECB);
    void Decrypt(const char* in, char* result, size_t n, int iMode = ECB);

    void XorBlock(char* buff, const char* chain);

private:
    enum { kMaxRounds = 14, kMaxColumns = 8, kMaxKeyWords = 8 };

    void RequireKey() const;

    bool m_bKeyMade;
    unsigned int m_encryptKeys[kMaxRounds + 1][kMaxColumns];
    unsigned int m_decryptKeys[kMaxRounds + 1][kMaxColumns];
    int m_nKeyLength;
    int m_nBlockLength;
    int m_nRounds;
    char m_initialChain[32];
    char m_currentChain[32];
    // Work space of the key schedule.
    unsigned int m_keyWords[kMaxKeyWords];
};
