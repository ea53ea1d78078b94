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

// One column of an inner round: the table words of the four bytes that the row shift brings
// into it, row 0's byte from w0, row 1's from w1 and so on.
unsigned int RoundColumn(const unsigned int (&round)[4][256], unsigned int w0, unsigned int w1,
                         unsigned int w2, unsigned int w3)
{
    return round[0][w0 >> 24] ^ round[1][(w1 >> 16) & 0xFF] ^ round[2][(w2 >> 8) & 0xFF] ^
           round[3][w3 & 0xFF];
}

// One column of the last round, which substitutes the same four bytes without mixing.
unsigned int LastColumn(const unsigned char (&box)[256], unsigned int w0, unsigned int w1,
                        unsigned int w2, unsigned int w3)
{
    return Word(box[w0 >> 24], box[(w1 >> 16) & 0xFF], box[(w2 >> 8) & 0xFF], box[w3 & 0xFF]);
}

// Each byte of a key word through the S-box.
unsigned int SubWord(unsigned int w)
{
    return LastColumn(CipherTables().sbox, w, w, w, w);
}

// The row shifts of a block of this many columns: rows 1, 2 and 3 move by 1, 2 and 3
// columns, by 1, 3 and 4 in a block of eight; decryption moves them back.
void RowShifts(int columns, bool bDecrypt, int (&shift)[4])
{
    const int left[4] = {0, 1, columns == 8 ? 3 : 2, columns == 8 ? 4 : 3};
    for (int row = 0; row < 4; ++row)
        shift[row] = bDecrypt ? (columns - left[row]) % columns : left[row];
}

// A block of `columns` words through all rounds with the given round keys: the encryption
// tables, or the decryption ones (the equivalent inverse cipher). Row r of column j is
// taken from column (j + shift[r]) % columns. state and next hold `columns` words.
void CipherBlock(const char* in, char* result, const unsigned int (*keys)[8], int rounds,
                 int columns, bool bDecrypt, unsigned int* state, unsigned int* next)
{
    const TableSet& tables = CipherTables();
    const auto& round = bDecrypt ? tables.decRound : tables.encRound;
    const auto& box = bDecrypt ? tables.invSbox : tables.sbox;
    int shift[4];
    RowShifts(columns, bDecrypt, shift);
    auto from = [&](int j, int row) { return state[(j + shift[row]) % columns]; };

    for (int j = 0; j < columns; ++j)
        state[j] = Load(in + 4 * j) ^ keys[0][j];
    for (int r = 1; r < rounds; ++r) {
        for (int j = 0; j < columns; ++j)
            next[j] = RoundColumn(round, from(j, 0), from(j, 1), from(j, 2), from(j, 3)) ^ keys[r][j];
        std::memcpy(state, next, sizeof(unsigned int) * static_cast<size_t>(columns));
    }
    for (int j = 0; j < columns; ++j) {
        const unsigned int w = LastColumn(box, from(j, 0), from(j, 1), from(j, 2), from(j, 3));
        Store(result + 4 * j, w ^ keys[rounds][j]);
    }
}

} // namespace

CRijndael::CRijndael()
    : m_bKeyMade(false), m_encryptKeys(), m_decryptKeys(), m_nKeyLength(0), m_nBlockLength(0),
      m_nRounds(0), m_initialChain(), m_currentChain(), m_keyWords(), m_nextState(), m_state()
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

// The 16-byte path keeps its four columns on the stack.
void CRijndael::EncryptBlock16(const char* in, char* result)
{
    unsigned int state[4], next[4];
    CipherBlock(in, result, m_encryptKeys, m_nRounds, 4, false, state, next);
}

void CRijndael::DecryptBlock16(const char* in, char* result)
{
    unsigned int state[4], next[4];
    CipherBlock(in, result, m_decryptKeys, m_nRounds, 4, true, state, next);
}

void CRijndael::EncryptBlockAnyLength(const char* in, char* result)
{
    CipherBlock(in, result, m_encryptKeys, m_nRounds, m_nBlockLength / 4, false, m_state, m_nextState);
}

void CRijndael::DecryptBlockAnyLength(const char* in, char* result)
{
    CipherBlock(in, result, m_decryptKeys, m_nRounds, m_nBlockLength / 4, true, m_state, m_nextState);
}

void CRijndael::EncryptBlock(const char* in, char* result)
{
    RequireKey();
    if (m_nBlockLength == 16)
        EncryptBlock16(in, result);
    else
        EncryptBlockAnyLength(in, result);
}

void CRijndael::DecryptBlock(const char* in, char* result)
{
    RequireKey();
    if (m_nBlockLength == 16)
        DecryptBlock16(in, result);
    else
        DecryptBlockAnyLength(in, result);
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
    char block[32];
    for (size_t off = 0; off < n; off += bs) {
        const char* src = in + off;
        char* dst = result + off;
        if (iMode == CBC) {
            XorBlock(m_currentChain, src);
            EncryptBlock(m_currentChain, m_currentChain);
            std::memcpy(dst, m_currentChain, bs);
        } else if (iMode == CFB) {
            EncryptBlock(m_currentChain, block);
            XorBlock(block, src);
            std::memcpy(dst, block, bs);
            std::memcpy(m_currentChain, block, bs);
        } else {
            EncryptBlock(src, dst);
        }
    }
}

void CRijndael::Decrypt(const char* in, char* result, size_t n, int iMode)
{
    RequireKey();
    const size_t bs = static_cast<size_t>(m_nBlockLength);
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
            XorBlock(block, m_currentChain);
            std::memcpy(dst, block, bs);
            std::memcpy(m_currentChain, saved, bs);
        } else if (iMode == CFB) {
            EncryptBlock(m_currentChain, block);
            XorBlock(block, saved);
            std::memcpy(dst, block, bs);
            std::memcpy(m_currentChain, saved, bs);
        } else {
            DecryptBlock(saved, dst);
        }
    }
}
