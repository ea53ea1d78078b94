#include "Rijndael.h"

#include <cstring>
#include <stdexcept>

namespace {

// The cipher's fixed tables, computed once from the field arithmetic of GF(2^8) with the
// polynomial x^8 + x^4 + x^3 + x + 1.
struct TableSet
{
    unsigned char sbox[256];
    unsigned char invSbox[256];
    unsigned int encRound[4][256]; // SubBytes + MixColumns, one table per row of the input byte
    unsigned int decRound[4][256]; // InvSubBytes + InvMixColumns
    unsigned int invMix[4][256];   // InvMixColumns alone, for the decryption key schedule
    unsigned char roundConstants[30];

    TableSet();
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

TableSet::TableSet()
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
        sbox[i] = s;
        invSbox[s] = static_cast<unsigned char>(i);
    }
    for (int i = 0; i < 256; ++i) {
        unsigned char s = sbox[i];
        unsigned int enc = Word(Mul(s, 2), s, s, Mul(s, 3));
        unsigned char si = invSbox[i];
        unsigned int dec = Word(Mul(si, 14), Mul(si, 9), Mul(si, 13), Mul(si, 11));
        unsigned char b = static_cast<unsigned char>(i);
        unsigned int u = Word(Mul(b, 14), Mul(b, 9), Mul(b, 13), Mul(b, 11));
        for (int row = 0; row < 4; ++row) {
            encRound[row][i] = enc;
            decRound[row][i] = dec;
            invMix[row][i] = u;
            enc = RotR8(enc);
            dec = RotR8(dec);
            u = RotR8(u);
        }
    }
    unsigned char rc = 1;
    for (unsigned char& r : roundConstants) {
        r = rc;
        rc = XTime(rc);
    }
}

const TableSet& CipherTables()
{
    static const TableSet tables;
    return tables;
}

unsigned int Load(const char* p)
{
    unsigned int w;
    std::memcpy(&w, p, 4);
    return __builtin_bswap32(w);
}

void Store(char* p, unsigned int w)
{
    w = __builtin_bswap32(w);
    std::memcpy(p, &w, 4);
}

// Each byte of a key word through the S-box.
unsigned int SubWord(unsigned int w)
{
    const unsigned char* box = CipherTables().sbox;
    return Word(box[w >> 24], box[(w >> 16) & 0xFF], box[(w >> 8) & 0xFF], box[w & 0xFF]);
}

// A block of Nb columns through all rounds: the encryption tables, or the decryption ones
// (the equivalent inverse cipher). Row r of column j is taken from column (j + S_r) % Nb:
// rows 1, 2 and 3 move left by 1, 2 and 3 columns (1, 3 and 4 in a block of eight), and
// back when deciphering. The shape is fixed at compile time, so every index is a constant
// and a round is 4 * Nb table look-ups and exclusive ors.
template <int Nb, int S1, int S2, int S3>
void CipherBlock(const TableSet& tables, bool bDecrypt, const char* in, char* result,
                 const unsigned int (*keys)[8], int rounds)
{
    const auto& round = bDecrypt ? tables.decRound : tables.encRound;
    const unsigned char* box = bDecrypt ? tables.invSbox : tables.sbox;
    unsigned int state[Nb], next[Nb];
#pragma GCC unroll 8
    for (int j = 0; j < Nb; ++j)
        state[j] = Load(in + 4 * j) ^ keys[0][j];
    for (int r = 1; r < rounds; ++r) {
#pragma GCC unroll 8
        for (int j = 0; j < Nb; ++j)
            next[j] = round[0][state[j] >> 24] ^ round[1][(state[(j + S1) % Nb] >> 16) & 0xFF] ^
                      round[2][(state[(j + S2) % Nb] >> 8) & 0xFF] ^ round[3][state[(j + S3) % Nb] & 0xFF] ^
                      keys[r][j];
#pragma GCC unroll 8
        for (int j = 0; j < Nb; ++j)
            state[j] = next[j];
    }
    // The last round substitutes the same bytes without mixing.
#pragma GCC unroll 8
    for (int j = 0; j < Nb; ++j) {
        const unsigned int w = Word(box[state[j] >> 24], box[(state[(j + S1) % Nb] >> 16) & 0xFF],
                                    box[(state[(j + S2) % Nb] >> 8) & 0xFF], box[state[(j + S3) % Nb] & 0xFF]);
        Store(result + 4 * j, w ^ keys[rounds][j]);
    }
}

// One block of the given length (16, 24 or 32 bytes) in either direction.
void CipherAnyBlock(int blockLength, bool bDecrypt, const char* in, char* result, const unsigned int (*keys)[8],
                    int rounds)
{
    const TableSet& t = CipherTables();
    switch (blockLength) {
    case 16:
        if (bDecrypt)
            CipherBlock<4, 3, 2, 1>(t, true, in, result, keys, rounds);
        else
            CipherBlock<4, 1, 2, 3>(t, false, in, result, keys, rounds);
        break;
    case 24:
        if (bDecrypt)
            CipherBlock<6, 5, 4, 3>(t, true, in, result, keys, rounds);
        else
            CipherBlock<6, 1, 2, 3>(t, false, in, result, keys, rounds);
        break;
    default:
        if (bDecrypt)
            CipherBlock<8, 7, 5, 4>(t, true, in, result, keys, rounds);
        else
            CipherBlock<8, 1, 3, 4>(t, false, in, result, keys, rounds);
        break;
    }
}

} // namespace

CRijndael::CRijndael()
    : m_bKeyMade(false), m_encryptKeys(), m_decryptKeys(), m_nKeyLength(0), m_nBlockLength(0),
      m_nRounds(0), m_initialChain(), m_currentChain(), m_keyWords()
{
}

CRijndael::~CRijndael() = default;

void CRijndael::RequireKey() const
{
    if (!m_bKeyMade)
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

    m_nKeyLength = keylength;
    m_nBlockLength = blockSize;
    std::memset(m_initialChain, 0, sizeof m_initialChain);
    if (chain)
        std::memcpy(m_initialChain, chain, static_cast<size_t>(blockSize));
    std::memcpy(m_currentChain, m_initialChain, sizeof m_currentChain);

    const int keyWords = keylength / 4;
    const int columns = blockSize / 4;
    m_nRounds = (keyWords > columns ? keyWords : columns) + 6;
    const int scheduleWords = (m_nRounds + 1) * columns;
    const TableSet& tables = CipherTables();

    for (int i = 0; i < keyWords; ++i)
        m_keyWords[i] = Load(key + 4 * i);

    // Word w of the schedule goes to encryption round w / columns and, in reverse, to
    // decryption round m_nRounds - w / columns. The schedule grows by keyWords words a step.
    int w = 0;
    auto place = [&](unsigned int word) {
        m_encryptKeys[w / columns][w % columns] = word;
        m_decryptKeys[m_nRounds - w / columns][w % columns] = word;
        ++w;
    };
    for (int j = 0; j < keyWords && w < scheduleWords; ++j)
        place(m_keyWords[j]);
    int nextConstant = 0;
    while (w < scheduleWords) {
        unsigned int last = m_keyWords[keyWords - 1];
        m_keyWords[0] ^= SubWord((last << 8) | (last >> 24)) ^
                         (static_cast<unsigned int>(tables.roundConstants[nextConstant++]) << 24);
        if (keyWords != 8) {
            for (int j = 1; j < keyWords; ++j)
                m_keyWords[j] ^= m_keyWords[j - 1];
        } else {
            for (int j = 1; j < keyWords / 2; ++j)
                m_keyWords[j] ^= m_keyWords[j - 1];
            m_keyWords[keyWords / 2] ^= SubWord(m_keyWords[keyWords / 2 - 1]);
            for (int j = keyWords / 2 + 1; j < keyWords; ++j)
                m_keyWords[j] ^= m_keyWords[j - 1];
        }
        for (int j = 0; j < keyWords && w < scheduleWords; ++j)
            place(m_keyWords[j]);
    }

    // Equivalent inverse cipher: the inner decryption round keys pass through InvMixColumns.
    for (int r = 1; r < m_nRounds; ++r) {
        for (int j = 0; j < columns; ++j) {
            unsigned int k = m_decryptKeys[r][j];
            m_decryptKeys[r][j] = tables.invMix[0][k >> 24] ^ tables.invMix[1][(k >> 16) & 0xFF] ^
                                  tables.invMix[2][(k >> 8) & 0xFF] ^ tables.invMix[3][k & 0xFF];
        }
    }
    m_bKeyMade = true;
}

void CRijndael::EncryptBlock(const char* in, char* result)
{
    RequireKey();
    CipherAnyBlock(m_nBlockLength, false, in, result, m_encryptKeys, m_nRounds);
}

void CRijndael::DecryptBlock(const char* in, char* result)
{
    RequireKey();
    CipherAnyBlock(m_nBlockLength, true, in, result, m_decryptKeys, m_nRounds);
}

void CRijndael::XorBlock(char* buff, const char* chain)
{
    RequireKey();
    for (int i = 0; i < m_nBlockLength; ++i)
        buff[i] ^= chain[i];
}

void CRijndael::Encrypt(const char* in, char* result, size_t n, int iMode)
{
    RequireKey();
    const size_t bs = static_cast<size_t>(m_nBlockLength);
    if (n == 0 || n % bs != 0)
        throw std::runtime_error("Data not multiple of Block Size");
    if (iMode != CBC && iMode != CFB) {
        // ECB: every block on its own.
        for (size_t off = 0; off < n; off += bs)
            CipherAnyBlock(m_nBlockLength, false, in + off, result + off, m_encryptKeys, m_nRounds);
        return;
    }
    char block[32];
    for (size_t off = 0; off < n; off += bs) {
        const char* src = in + off;
        char* dst = result + off;
        if (iMode == CBC) {
            XorBlock(m_currentChain, src);
            EncryptBlock(m_currentChain, m_currentChain);
            std::memcpy(dst, m_currentChain, bs);
        } else {
            EncryptBlock(m_currentChain, block);
            XorBlock(block, src);
            std::memcpy(dst, block, bs);
            std::memcpy(m_currentChain, block, bs);
        }
    }
}

void CRijndael::Decrypt(const char* in, char* result, size_t n, int iMode)
{
    RequireKey();
    const size_t bs = static_cast<size_t>(m_nBlockLength);
    if (n == 0 || n % bs != 0)
        throw std::runtime_error("Data not multiple of Block Size");
    if (iMode != CBC && iMode != CFB) {
        // ECB: a block is read whole before its result is written, so the input may be the
        // output buffer.
        for (size_t off = 0; off < n; off += bs)
            CipherAnyBlock(m_nBlockLength, true, in + off, result + off, m_decryptKeys, m_nRounds);
        return;
    }
    char block[32];
    char saved[32];
    for (size_t off = 0; off < n; off += bs) {
        const char* src = in + off;
        char* dst = result + off;
        std::memcpy(saved, src, bs);  // the input may be the output buffer
        if (iMode == CBC) {
            DecryptBlock(saved, block);
            XorBlock(block, m_currentChain);
            std::memcpy(dst, block, bs);
            std::memcpy(m_currentChain, saved, bs);
        } else {
            EncryptBlock(m_currentChain, block);
            XorBlock(block, saved);
            std::memcpy(dst, block, bs);
            std::memcpy(m_currentChain, saved, bs);
        }
    }
}
