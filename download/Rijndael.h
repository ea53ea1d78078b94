// CRijndael: the Rijndael block cipher with key and block lengths of 16, 24 or 32 bytes,
// table-driven, with ECB, CBC and CFB chaining over whole buffers. Errors are raised as
// std::runtime_error carrying one of the fixed texts below.
#pragma once

#include <cstddef>

class CRijndael
{
public:
    enum { ECB = 0, CBC = 1, CFB = 2 };
    enum { MAX_ROUNDS = 14, MAX_BC = 8, MAX_KC = 8 };

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

    int GetKeyLength() const;
    int GetBlockSize() const;
    int GetRounds() const;

private:
    void DefEncryptBlock(const char* in, char* result);
    void DefDecryptBlock(const char* in, char* result);
    void EncryptBlock16(const char* in, char* result);
    void DecryptBlock16(const char* in, char* result);
    void RequireKey() const;

    bool m_bKeyInit;
    unsigned int m_Ke[MAX_ROUNDS + 1][MAX_BC];
    unsigned int m_Kd[MAX_ROUNDS + 1][MAX_BC];
    int m_keylength;
    int m_blockSize;
    int m_iROUNDS;
    char m_chain0[32];
    char m_chain[32];
    unsigned int tk[MAX_KC];
    unsigned int a[MAX_BC];
    unsigned int t[MAX_BC];
};
