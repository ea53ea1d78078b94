#include "Rijndael.h"

#include <cstring>
#include <stdexcept>

namespace {

// The cipher's fixed tables, computed once from the field arithmetic of GF(2^8) with the
// polynomial x^8 + x^4 + x^3 + x + 1.
struct Tables
{
    unsigned char S[256];
    unsigned char Si[256];
    unsigned int Te[4][256];  // SubBytes + MixColumns, one table per row of the input byte
    unsigned int Td[4][256];  // InvSubBytes + InvMixColumns
    unsigned int U[4][256];   // InvMixColumns alone, for the decryption key schedule
    unsigned char rcon[30];

    Tables();
};

unsigned char XTime(unsigned char b)
{
    return static_cast<unsigned char>((b << 1) ^ ((b & 0x80) ? 0x1B : 0x00));
}

unsigned char Mul(unsigned char a, unsigned char b)
{
    unsigned char r = 0;
    while (b) {
        if (b & 1)
            r ^= a;
        a = XTime(a);
        b >>= 1;
    }
    return r;
}

unsigned int Word(unsigned char b0, unsigned char b1, unsigned char b2, unsigned char b3)
{
    return (static_cast<unsigned int>(b0) << 24) | (static_cast<unsigned int>(b1) << 16) |
           (static_cast<unsigned int>(b2) << 8) | b3;
}

unsigned int RotR8(unsigned int w) { return (w >> 8) | (w << 24); }

Tables::Tables()
{
    // Multiplicative inverses through the generator 3: pow[i] = 3^i, log[3^i] = i.
    unsigned char pow[255];
    unsigned char log[256] = {};
    unsigned char x = 1;
    for (int i = 0; i < 255; ++i) {
        pow[i] = x;
        log[x] = static_cast<unsigned char>(i);
        x = Mul(x, 3);
    }
    for (int i = 0; i < 256; ++i) {
        unsigned char inv = i == 0 ? 0 : pow[(255 - log[i]) % 255];
        unsigned char s = inv;
        unsigned char r = inv;
        for (int k = 0; k < 4; ++k) {
            r = static_cast<unsigned char>((r << 1) | (r >> 7));
            s ^= r;
        }
        s ^= 0x63;
        S[i] = s;
        Si[s] = static_cast<unsigned char>(i);
    }
    for (int i = 0; i < 256; ++i) {
        unsigned char s = S[i];
        unsigned int te = Word(Mul(s, 2), s, s, Mul(s, 3));
        unsigned char si = Si[i];
        unsigned int td = Word(Mul(si, 14), Mul(si, 9), Mul(si, 13), Mul(si, 11));
        unsigned char b = static_cast<unsigned char>(i);
        unsigned int u = Word(Mul(b, 14), Mul(b, 9), Mul(b, 13), Mul(b, 11));
        for (int row = 0; row < 4; ++row) {
            Te[row][i] = te;
            Td[row][i] = td;
            U[row][i] = u;
            te = RotR8(te);
            td = RotR8(td);
            u = RotR8(u);
        }
    }
    unsigned char rc = 1;
    for (unsigned char& r : rcon) {
        r = rc;
        rc = XTime(rc);
    }
}

const Tables& T()
{
    static const Tables tables;
    return tables;
}

unsigned int Load(const char* p)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
    return Word(b[0], b[1], b[2], b[3]);
}

void Store(char* p, unsigned int w)
{
    p[0] = static_cast<char>(w >> 24);
    p[1] = static_cast<char>(w >> 16);
    p[2] = static_cast<char>(w >> 8);
    p[3] = static_cast<char>(w);
}

unsigned int SubWord(unsigned int w)
{
    const Tables& tb = T();
    return Word(tb.S[w >> 24], tb.S[(w >> 16) & 0xFF], tb.S[(w >> 8) & 0xFF], tb.S[w & 0xFF]);
}

// ShiftRow offsets of rows 1, 2 and 3 by the number of columns.
void ShiftOffsets(int bc, int& s1, int& s2, int& s3)
{
    s1 = 1;
    s2 = bc == 8 ? 3 : 2;
    s3 = bc == 8 ? 4 : 3;
}

} // namespace

CRijndael::CRijndael()
    : m_bKeyInit(false), m_Ke(), m_Kd(), m_keylength(0), m_blockSize(0), m_iROUNDS(0),
      m_chain0(), m_chain(), tk(), a(), t()
{
}

CRijndael::~CRijndael() = default;

void CRijndael::RequireKey() const
{
    if (!m_bKeyInit)
        throw std::runtime_error("Object not Initialized");
}

void CRijndael::MakeKey(const char* key, const char* chain, int keylength, int blockSize)
{
    if (!key)
        throw std::runtime_error("Empty key");
    if (keylength != 16 && keylength != 24 && keylength != 32)
        throw std::runtime_error("Incorrect key length");
    if (blockSize != 16 && blockSize != 24 && blockSize != 32)
        throw std::runtime_error("Incorrect block length");

    m_keylength = keylength;
    m_blockSize = blockSize;
    std::memset(m_chain0, 0, sizeof m_chain0);
    if (chain)
        std::memcpy(m_chain0, chain, static_cast<size_t>(blockSize));
    std::memcpy(m_chain, m_chain0, sizeof m_chain);

    const int KC = keylength / 4;
    const int BC = blockSize / 4;
    m_iROUNDS = (KC > BC ? KC : BC) + 6;
    const int ROUND_KEY_COUNT = (m_iROUNDS + 1) * BC;
    const Tables& tb = T();

    for (int i = 0; i < KC; ++i)
        tk[i] = Load(key + 4 * i);

    // Word w of the schedule goes to encryption round w / BC and, in reverse, to decryption
    // round ROUNDS - w / BC. The schedule is generated KC words at a time.
    int w = 0;
    auto place = [&](unsigned int word) {
        m_Ke[w / BC][w % BC] = word;
        m_Kd[m_iROUNDS - w / BC][w % BC] = word;
        ++w;
    };
    for (int j = 0; j < KC && w < ROUND_KEY_COUNT; ++j)
        place(tk[j]);
    int rconIndex = 0;
    while (w < ROUND_KEY_COUNT) {
        unsigned int last = tk[KC - 1];
        tk[0] ^= SubWord((last << 8) | (last >> 24)) ^
                 (static_cast<unsigned int>(tb.rcon[rconIndex++]) << 24);
        if (KC != 8) {
            for (int j = 1; j < KC; ++j)
                tk[j] ^= tk[j - 1];
        } else {
            for (int j = 1; j < KC / 2; ++j)
                tk[j] ^= tk[j - 1];
            tk[KC / 2] ^= SubWord(tk[KC / 2 - 1]);
            for (int j = KC / 2 + 1; j < KC; ++j)
                tk[j] ^= tk[j - 1];
        }
        for (int j = 0; j < KC && w < ROUND_KEY_COUNT; ++j)
            place(tk[j]);
    }

    // Equivalent inverse cipher: the inner decryption round keys pass through InvMixColumns.
    for (int r = 1; r < m_iROUNDS; ++r) {
        for (int j = 0; j < BC; ++j) {
            unsigned int k = m_Kd[r][j];
            m_Kd[r][j] = tb.U[0][k >> 24] ^ tb.U[1][(k >> 16) & 0xFF] ^ tb.U[2][(k >> 8) & 0xFF] ^
                         tb.U[3][k & 0xFF];
        }
    }
    m_bKeyInit = true;
}

void CRijndael::EncryptBlock16(const char* in, char* result)
{
    const Tables& tb = T();
    const auto& Te = tb.Te;
    unsigned int t0 = Load(in) ^ m_Ke[0][0];
    unsigned int t1 = Load(in + 4) ^ m_Ke[0][1];
    unsigned int t2 = Load(in + 8) ^ m_Ke[0][2];
    unsigned int t3 = Load(in + 12) ^ m_Ke[0][3];
    for (int r = 1; r < m_iROUNDS; ++r) {
        const unsigned int* k = m_Ke[r];
        unsigned int a0 = Te[0][t0 >> 24] ^ Te[1][(t1 >> 16) & 0xFF] ^ Te[2][(t2 >> 8) & 0xFF] ^
                          Te[3][t3 & 0xFF] ^ k[0];
        unsigned int a1 = Te[0][t1 >> 24] ^ Te[1][(t2 >> 16) & 0xFF] ^ Te[2][(t3 >> 8) & 0xFF] ^
                          Te[3][t0 & 0xFF] ^ k[1];
        unsigned int a2 = Te[0][t2 >> 24] ^ Te[1][(t3 >> 16) & 0xFF] ^ Te[2][(t0 >> 8) & 0xFF] ^
                          Te[3][t1 & 0xFF] ^ k[2];
        unsigned int a3 = Te[0][t3 >> 24] ^ Te[1][(t0 >> 16) & 0xFF] ^ Te[2][(t1 >> 8) & 0xFF] ^
                          Te[3][t2 & 0xFF] ^ k[3];
        t0 = a0;
        t1 = a1;
        t2 = a2;
        t3 = a3;
    }
    const unsigned char* S = tb.S;
    const unsigned int* k = m_Ke[m_iROUNDS];
    Store(result, Word(S[t0 >> 24], S[(t1 >> 16) & 0xFF], S[(t2 >> 8) & 0xFF], S[t3 & 0xFF]) ^ k[0]);
    Store(result + 4, Word(S[t1 >> 24], S[(t2 >> 16) & 0xFF], S[(t3 >> 8) & 0xFF], S[t0 & 0xFF]) ^ k[1]);
    Store(result + 8, Word(S[t2 >> 24], S[(t3 >> 16) & 0xFF], S[(t0 >> 8) & 0xFF], S[t1 & 0xFF]) ^ k[2]);
    Store(result + 12, Word(S[t3 >> 24], S[(t0 >> 16) & 0xFF], S[(t1 >> 8) & 0xFF], S[t2 & 0xFF]) ^ k[3]);
}

void CRijndael::DecryptBlock16(const char* in, char* result)
{
    const Tables& tb = T();
    const auto& Td = tb.Td;
    unsigned int t0 = Load(in) ^ m_Kd[0][0];
    unsigned int t1 = Load(in + 4) ^ m_Kd[0][1];
    unsigned int t2 = Load(in + 8) ^ m_Kd[0][2];
    unsigned int t3 = Load(in + 12) ^ m_Kd[0][3];
    for (int r = 1; r < m_iROUNDS; ++r) {
        const unsigned int* k = m_Kd[r];
        unsigned int a0 = Td[0][t0 >> 24] ^ Td[1][(t3 >> 16) & 0xFF] ^ Td[2][(t2 >> 8) & 0xFF] ^
                          Td[3][t1 & 0xFF] ^ k[0];
        unsigned int a1 = Td[0][t1 >> 24] ^ Td[1][(t0 >> 16) & 0xFF] ^ Td[2][(t3 >> 8) & 0xFF] ^
                          Td[3][t2 & 0xFF] ^ k[1];
        unsigned int a2 = Td[0][t2 >> 24] ^ Td[1][(t1 >> 16) & 0xFF] ^ Td[2][(t0 >> 8) & 0xFF] ^
                          Td[3][t3 & 0xFF] ^ k[2];
        unsigned int a3 = Td[0][t3 >> 24] ^ Td[1][(t2 >> 16) & 0xFF] ^ Td[2][(t1 >> 8) & 0xFF] ^
                          Td[3][t0 & 0xFF] ^ k[3];
        t0 = a0;
        t1 = a1;
        t2 = a2;
        t3 = a3;
    }
    const unsigned char* Si = tb.Si;
    const unsigned int* k = m_Kd[m_iROUNDS];
    Store(result, Word(Si[t0 >> 24], Si[(t3 >> 16) & 0xFF], Si[(t2 >> 8) & 0xFF], Si[t1 & 0xFF]) ^ k[0]);
    Store(result + 4, Word(Si[t1 >> 24], Si[(t0 >> 16) & 0xFF], Si[(t3 >> 8) & 0xFF], Si[t2 & 0xFF]) ^ k[1]);
    Store(result + 8, Word(Si[t2 >> 24], Si[(t1 >> 16) & 0xFF], Si[(t0 >> 8) & 0xFF], Si[t3 & 0xFF]) ^ k[2]);
    Store(result + 12, Word(Si[t3 >> 24], Si[(t2 >> 16) & 0xFF], Si[(t1 >> 8) & 0xFF], Si[t0 & 0xFF]) ^ k[3]);
}

void CRijndael::DefEncryptBlock(const char* in, char* result)
{
    const Tables& tb = T();
    const int BC = m_blockSize / 4;
    int s1, s2, s3;
    ShiftOffsets(BC, s1, s2, s3);
    for (int j = 0; j < BC; ++j)
        t[j] = Load(in + 4 * j) ^ m_Ke[0][j];
    for (int r = 1; r < m_iROUNDS; ++r) {
        for (int j = 0; j < BC; ++j) {
            a[j] = tb.Te[0][t[j] >> 24] ^ tb.Te[1][(t[(j + s1) % BC] >> 16) & 0xFF] ^
                   tb.Te[2][(t[(j + s2) % BC] >> 8) & 0xFF] ^ tb.Te[3][t[(j + s3) % BC] & 0xFF] ^
                   m_Ke[r][j];
        }
        std::memcpy(t, a, sizeof(unsigned int) * static_cast<size_t>(BC));
    }
    for (int j = 0; j < BC; ++j) {
        unsigned int w = Word(tb.S[t[j] >> 24], tb.S[(t[(j + s1) % BC] >> 16) & 0xFF],
                              tb.S[(t[(j + s2) % BC] >> 8) & 0xFF], tb.S[t[(j + s3) % BC] & 0xFF]);
        Store(result + 4 * j, w ^ m_Ke[m_iROUNDS][j]);
    }
}

void CRijndael::DefDecryptBlock(const char* in, char* result)
{
    const Tables& tb = T();
    const int BC = m_blockSize / 4;
    int s1, s2, s3;
    ShiftOffsets(BC, s1, s2, s3);
    s1 = BC - s1;
    s2 = BC - s2;
    s3 = BC - s3;
    for (int j = 0; j < BC; ++j)
        t[j] = Load(in + 4 * j) ^ m_Kd[0][j];
    for (int r = 1; r < m_iROUNDS; ++r) {
        for (int j = 0; j < BC; ++j) {
            a[j] = tb.Td[0][t[j] >> 24] ^ tb.Td[1][(t[(j + s1) % BC] >> 16) & 0xFF] ^
                   tb.Td[2][(t[(j + s2) % BC] >> 8) & 0xFF] ^ tb.Td[3][t[(j + s3) % BC] & 0xFF] ^
                   m_Kd[r][j];
        }
        std::memcpy(t, a, sizeof(unsigned int) * static_cast<size_t>(BC));
    }
    for (int j = 0; j < BC; ++j) {
        unsigned int w = Word(tb.Si[t[j] >> 24], tb.Si[(t[(j + s1) % BC] >> 16) & 0xFF],
                              tb.Si[(t[(j + s2) % BC] >> 8) & 0xFF], tb.Si[t[(j + s3) % BC] & 0xFF]);
        Store(result + 4 * j, w ^ m_Kd[m_iROUNDS][j]);
    }
}

void CRijndael::EncryptBlock(const char* in, char* result)
{
    RequireKey();
    if (m_blockSize == 16)
        EncryptBlock16(in, result);
    else
        DefEncryptBlock(in, result);
}

void CRijndael::DecryptBlock(const char* in, char* result)
{
    RequireKey();
    if (m_blockSize == 16)
        DecryptBlock16(in, result);
    else
        DefDecryptBlock(in, result);
}

void CRijndael::XorBlock(char* buff, const char* chain)
{
    RequireKey();
    for (int i = 0; i < m_blockSize; ++i)
        buff[i] ^= chain[i];
}

void CRijndael::Encrypt(const char* in, char* result, size_t n, int iMode)
{
    RequireKey();
    const size_t bs = static_cast<size_t>(m_blockSize);
    if (n == 0 || n % bs != 0)
        throw std::runtime_error("Data not multiple of Block Size");
    char block[32];
    for (size_t off = 0; off < n; off += bs) {
        const char* src = in + off;
        char* dst = result + off;
        if (iMode == CBC) {
            XorBlock(m_chain, src);
            EncryptBlock(m_chain, m_chain);
            std::memcpy(dst, m_chain, bs);
        } else if (iMode == CFB) {
            EncryptBlock(m_chain, block);
            XorBlock(block, src);
            std::memcpy(dst, block, bs);
            std::memcpy(m_chain, block, bs);
        } else {
            EncryptBlock(src, dst);
        }
    }
}

void CRijndael::Decrypt(const char* in, char* result, size_t n, int iMode)
{
    RequireKey();
    const size_t bs = static_cast<size_t>(m_blockSize);
    if (n == 0 || n % bs != 0)
        throw std::runtime_error("Data not multiple of Block Size");
    char block[32];
    char saved[32];
    for (size_t off = 0; off < n; off += bs) {
        const char* src = in + off;
        char* dst = result + off;
        std::memcpy(saved, src, bs);  // the input may be the output buffer
        if (iMode == CBC) {
            DecryptBlock(saved, block);
            XorBlock(block, m_chain);
            std::memcpy(dst, block, bs);
            std::memcpy(m_chain, saved, bs);
        } else if (iMode == CFB) {
            EncryptBlock(m_chain, block);
            XorBlock(block, saved);
            std::memcpy(dst, block, bs);
            std::memcpy(m_chain, saved, bs);
        } else {
            DecryptBlock(saved, dst);
        }
    }
}

int CRijndael::GetKeyLength() const
{
    RequireKey();
    return m_keylength;
}

int CRijndael::GetBlockSize() const
{
    RequireKey();
    return m_blockSize;
}

int CRijndael::GetRounds() const
{
    RequireKey();
    return m_iROUNDS;
}
