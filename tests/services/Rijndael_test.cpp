#include "Rijndael.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<char> Hex(const char* hex)
{
    std::vector<char> out;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2)
        out.push_back(static_cast<char>(std::stoi(std::string(hex + i, 2), nullptr, 16)));
    return out;
}

std::vector<char> Counting(int n, int start = 0)
{
    std::vector<char> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        v[static_cast<size_t>(i)] = static_cast<char>(start + i * 7 + 3);
    return v;
}

// A textbook byte-by-byte Rijndael, written straight from the cipher's definition, as an
// independent oracle for the table-driven class at every key and block length.
class Reference
{
public:
    Reference(const std::vector<char>& key, int blockBytes)
        : nk(static_cast<int>(key.size()) / 4), nb(blockBytes / 4), nr(std::max(nk, nb) + 6)
    {
        BuildSBox();
        w.resize(static_cast<size_t>(4 * nb * (nr + 1)));
        for (size_t i = 0; i < key.size(); ++i)
            w[i] = static_cast<unsigned char>(key[i]);
        unsigned char rc = 1;
        for (int i = nk; i < nb * (nr + 1); ++i) {
            unsigned char tmp[4];
            for (int k = 0; k < 4; ++k)
                tmp[k] = w[static_cast<size_t>(4 * (i - 1) + k)];
            if (i % nk == 0) {
                unsigned char t0 = tmp[0];
                tmp[0] = static_cast<unsigned char>(sbox[tmp[1]] ^ rc);
                tmp[1] = sbox[tmp[2]];
                tmp[2] = sbox[tmp[3]];
                tmp[3] = sbox[t0];
                rc = Mul(rc, 2);
            } else if (nk > 6 && i % nk == 4) {
                for (unsigned char& b : tmp)
                    b = sbox[b];
            }
            for (int k = 0; k < 4; ++k)
                w[static_cast<size_t>(4 * i + k)] =
                    static_cast<unsigned char>(w[static_cast<size_t>(4 * (i - nk) + k)] ^ tmp[k]);
        }
        shift[0] = 0;
        shift[1] = 1;
        shift[2] = nb == 8 ? 3 : 2;
        shift[3] = nb == 8 ? 4 : 3;
    }

    std::vector<char> Encrypt(const std::vector<char>& in) const
    {
        State s = Load(in);
        AddKey(s, 0);
        for (int round = 1; round <= nr; ++round) {
            for (auto& row : s)
                for (auto& b : row)
                    b = sbox[b];
            Shift(s, false);
            if (round != nr)
                Mix(s, {2, 3, 1, 1});
            AddKey(s, round);
        }
        return Store(s);
    }

    std::vector<char> Decrypt(const std::vector<char>& in) const
    {
        State s = Load(in);
        AddKey(s, nr);
        for (int round = nr - 1; round >= 0; --round) {
            Shift(s, true);
            for (auto& row : s)
                for (auto& b : row)
                    b = inv[b];
            AddKey(s, round);
            if (round != 0)
                Mix(s, {14, 11, 13, 9});
        }
        return Store(s);
    }

private:
    using State = std::vector<std::vector<unsigned char>>;

    static unsigned char Mul(unsigned char a, unsigned char b)
    {
        unsigned char r = 0;
        for (int i = 0; i < 8; ++i) {
            if (b & 1)
                r ^= a;
            bool hi = a & 0x80;
            a = static_cast<unsigned char>(a << 1);
            if (hi)
                a ^= 0x1B;
            b >>= 1;
        }
        return r;
    }

    void BuildSBox()
    {
        for (int x = 0; x < 256; ++x) {
            unsigned char invx = 0;
            for (int y = 1; y < 256 && x; ++y)
                if (Mul(static_cast<unsigned char>(x), static_cast<unsigned char>(y)) == 1)
                    invx = static_cast<unsigned char>(y);
            unsigned char s = 0x63;
            for (int bit = 0; bit < 8; ++bit) {
                int v = ((invx >> bit) ^ (invx >> ((bit + 4) % 8)) ^ (invx >> ((bit + 5) % 8)) ^
                         (invx >> ((bit + 6) % 8)) ^ (invx >> ((bit + 7) % 8))) & 1;
                s ^= static_cast<unsigned char>(v << bit);
            }
            sbox[x] = s;
            inv[s] = static_cast<unsigned char>(x);
        }
    }

    State Load(const std::vector<char>& in) const
    {
        State s(4, std::vector<unsigned char>(static_cast<size_t>(nb)));
        for (int c = 0; c < nb; ++c)
            for (int r = 0; r < 4; ++r)
                s[r][c] = static_cast<unsigned char>(in[static_cast<size_t>(4 * c + r)]);
        return s;
    }

    std::vector<char> Store(const State& s) const
    {
        std::vector<char> out(static_cast<size_t>(4 * nb));
        for (int c = 0; c < nb; ++c)
            for (int r = 0; r < 4; ++r)
                out[static_cast<size_t>(4 * c + r)] = static_cast<char>(s[r][c]);
        return out;
    }

    void AddKey(State& s, int round) const
    {
        for (int c = 0; c < nb; ++c)
            for (int r = 0; r < 4; ++r)
                s[r][c] ^= w[static_cast<size_t>(4 * (round * nb + c) + r)];
    }

    void Shift(State& s, bool inverse) const
    {
        for (int r = 1; r < 4; ++r) {
            std::vector<unsigned char> row(s[r]);
            for (int c = 0; c < nb; ++c) {
                int from = inverse ? (c - shift[r] + nb) % nb : (c + shift[r]) % nb;
                s[r][c] = row[static_cast<size_t>(from)];
            }
        }
    }

    void Mix(State& s, std::vector<unsigned char> m) const
    {
        for (int c = 0; c < nb; ++c) {
            unsigned char col[4] = {s[0][c], s[1][c], s[2][c], s[3][c]};
            for (int r = 0; r < 4; ++r) {
                unsigned char v = 0;
                for (int k = 0; k < 4; ++k)
                    v ^= Mul(m[static_cast<size_t>((k - r + 4) % 4)], col[k]);
                s[r][c] = v;
            }
        }
    }

    int nk, nb, nr;
    int shift[4];
    unsigned char sbox[256];
    unsigned char inv[256];
    std::vector<unsigned char> w;
};

} // namespace

TEST(Rijndael, MatchesTheAesKnownAnswersForA16ByteBlock)
{
    struct Case { const char* key; const char* cipher; };
    const Case cases[] = {
        {"000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {"000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
        {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
         "8ea2b7ca516745bfeafc49904b496089"},
    };
    const std::vector<char> plain = Hex("00112233445566778899aabbccddeeff");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        std::vector<char> key = Hex(c.key);
        CRijndael r;
        r.MakeKey(key.data(), std::vector<char>(32).data(), static_cast<int>(key.size()), 16);
        std::vector<char> out(16), back(16);
        r.EncryptBlock(plain.data(), out.data());
        EXPECT_EQ(out, Hex(c.cipher));
        r.DecryptBlock(out.data(), back.data());
        EXPECT_EQ(back, plain);
    }
}

TEST(Rijndael, AgreesWithTheReferenceAtEveryKeyAndBlockLength)
{
    const int lengths[] = {16, 24, 32};
    for (int keyLen : lengths) {
        for (int blockLen : lengths) {
            SCOPED_TRACE(testing::Message() << "key " << keyLen << " block " << blockLen);
            std::vector<char> key = Counting(keyLen, 11);
            std::vector<char> plain = Counting(blockLen, 200);
            Reference ref(key, blockLen);
            CRijndael r;
            r.MakeKey(key.data(), std::vector<char>(32).data(), keyLen, blockLen);
            std::vector<char> out(static_cast<size_t>(blockLen)), back(static_cast<size_t>(blockLen));
            r.EncryptBlock(plain.data(), out.data());
            EXPECT_EQ(out, ref.Encrypt(plain));
            r.DecryptBlock(out.data(), back.data());
            EXPECT_EQ(back, plain);
            EXPECT_EQ(ref.Decrypt(out), plain);
        }
    }
}

TEST(Rijndael, ChainingModesCarryTheChainFromCallToCall)
{
    const std::vector<char> key = Counting(32, 1);
    const std::vector<char> iv = Counting(32, 90);
    const std::vector<char> plain = Counting(32 * 4, 40);
    for (int mode : {int(CRijndael::CBC), int(CRijndael::CFB)}) {
        SCOPED_TRACE(mode);
        CRijndael whole;
        whole.MakeKey(key.data(), iv.data(), 32, 32);
        std::vector<char> once(plain.size());
        whole.Encrypt(plain.data(), once.data(), plain.size(), mode);

        CRijndael pieces;
        pieces.MakeKey(key.data(), iv.data(), 32, 32);
        std::vector<char> twice(plain.size());
        pieces.Encrypt(plain.data(), twice.data(), 64, mode);
        pieces.Encrypt(plain.data() + 64, twice.data() + 64, 64, mode);
        EXPECT_EQ(once, twice);

        // Equal plain blocks must not give equal cipher blocks once chained.
        std::vector<char> same(64, 'x'), sameOut(64);
        CRijndael r;
        r.MakeKey(key.data(), iv.data(), 32, 32);
        r.Encrypt(same.data(), sameOut.data(), 64, mode);
        EXPECT_NE(0, std::memcmp(sameOut.data(), sameOut.data() + 32, 32));

        CRijndael dec;
        dec.MakeKey(key.data(), iv.data(), 32, 32);
        std::vector<char> back(plain.size());
        dec.Decrypt(once.data(), back.data(), 32, mode);
        dec.Decrypt(once.data() + 32, back.data() + 32, plain.size() - 32, mode);
        EXPECT_EQ(back, plain);
    }
}

TEST(Rijndael, EcbEnciphersEqualBlocksAlike)
{
    const std::vector<char> key = Counting(32);
    std::vector<char> plain(64, 'q'), out(64);
    CRijndael r;
    r.MakeKey(key.data(), std::vector<char>(32).data(), 32, 32);
    r.Encrypt(plain.data(), out.data(), 64, 7);  // an unknown mode runs ECB
    EXPECT_EQ(0, std::memcmp(out.data(), out.data() + 32, 32));
}

TEST(Rijndael, RaisesItsFiveErrors)
{
    auto message = [](auto&& call) {
        try {
            call();
        } catch (const std::exception& e) {
            return std::string(e.what());
        }
        return std::string("no exception");
    };
    const std::vector<char> key = Counting(32);
    const std::vector<char> chain(32);
    char buf[64] = {};

    EXPECT_EQ(message([&] { CRijndael r; r.MakeKey(nullptr, chain.data(), 32, 32); }), "Empty key");
    EXPECT_EQ(message([&] { CRijndael r; r.MakeKey(key.data(), chain.data(), 20, 32); }),
              "Incorrect key length");
    EXPECT_EQ(message([&] { CRijndael r; r.MakeKey(key.data(), chain.data(), 32, 8); }),
              "Incorrect block length");
    EXPECT_EQ(message([&] { CRijndael r; r.EncryptBlock(buf, buf); }), "Object not Initialized");
    EXPECT_EQ(message([&] { CRijndael r; r.Decrypt(buf, buf, 32, 0); }), "Object not Initialized");
    for (size_t n : {size_t(0), size_t(31), size_t(33)}) {
        EXPECT_EQ(message([&] {
                      CRijndael r;
                      r.MakeKey(key.data(), chain.data(), 32, 32);
                      r.Encrypt(buf, buf, n, 0);
                  }),
                  "Data not multiple of Block Size");
        EXPECT_EQ(message([&] {
                      CRijndael r;
                      r.MakeKey(key.data(), chain.data(), 32, 32);
                      r.Decrypt(buf, buf, n, 0);
                  }),
                  "Data not multiple of Block Size");
    }
}
