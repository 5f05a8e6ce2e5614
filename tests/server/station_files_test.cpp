// Procedure 6: walking a DataFolder file in chunks, and the names it refuses.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "base/fixed_text.h"
#include "server/station_client.h"
#include "server/station_transport.h"
#include "server_fixture.h"
#include "store/file_io.h"

namespace kassio::test {
namespace {

class FileChunkTest : public ServerTest {
  protected:
    FileChunk ask(const std::string& name, int32_t position) {
        FileChunk c;
        std::memset(&c, 0x66, sizeof c);
        setFieldText(c.name, name);
        c.position = position;
        server->fileChunk(c);
        return c;
    }
};

TEST_F(FileChunkTest, WalksAFileInStepsOf2000) {
    std::string content(4500, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + i % 26);
    ASSERT_TRUE(replaceFileAtomically(data + "/m42.bmp", content.data(), content.size()));

    FileChunk c = ask("m42.bmp", 0);
    EXPECT_EQ(+c.position, 4500);  // the size
    EXPECT_EQ(std::string(reinterpret_cast<char*>(c.data), 2000), content.substr(0, 2000));
    EXPECT_STREQ(c.name, "m42.bmp");

    c = ask("m42.bmp", 2000);
    EXPECT_EQ(+c.position, 2000);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(c.data), 2000), content.substr(2000, 2000));

    c = ask("m42.bmp", 4000);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(c.data), 500), content.substr(4000));
    EXPECT_EQ(c.data[500], 0);  // the rest is cleared, not the server's leftovers
    EXPECT_EQ(c.data[1999], 0);
}

TEST_F(FileChunkTest, PicturesAreFoundWhateverTheCase) {
    // The samples ship "stock1.bmp"; items name "STOCK1.bmp".
    FileChunk c = ask("STOCK1.bmp", 0);
    EXPECT_EQ(+c.position, 2);
    EXPECT_EQ(std::memcmp(c.data, "BM", 2), 0);
}

TEST_F(FileChunkTest, OnlyPlainFilesOfTheDataFolderAreServed) {
    const std::string outside = root / "secret.txt";
    ASSERT_TRUE(replaceFileAtomically(outside, "SECRET", 6));
    ASSERT_TRUE(makeDirectories(data + "/sub"));
    ASSERT_TRUE(replaceFileAtomically(data + "/sub/x", "INNER", 5));
    ASSERT_EQ(::symlink(outside.c_str(), (data + "/link.bmp").c_str()), 0);
    ASSERT_EQ(::mkfifo((data + "/pipe.bmp").c_str(), 0600), 0);  // would block a plain open
    // A hard link in the folder to the station key's file is one more name
    // for a file that is not served.
    ASSERT_TRUE(replaceFileAtomically(data + "/station-server.conf", "key=S3CRET\n", 11));
    ASSERT_EQ(::link((data + "/station-server.conf").c_str(), (data + "/key.bmp").c_str()), 0);

    for (const char* name :
         {"../secret.txt", "sub/x", "/etc/passwd", "..", ".", "", "sub", "sub\\x", "link.bmp",
          "pipe.bmp", "missing.bmp", "key.bmp", "kq.cfg", "customer.dat", "inventory.dat",
          "station-server.conf", "STATION-SERVER.CONF", ".bmp"}) {
        FileChunk c = ask(name, 0);
        EXPECT_EQ(+c.position, 0) << name;
        EXPECT_EQ(c.data[0], 0) << name;
    }
    EXPECT_EQ(+ask("stock1.bmp", -5).position, 0);
    ASSERT_TRUE(replaceFileAtomically(data + "/language.ini", std::string(4640, 'w').data(), 4640));
    EXPECT_EQ(+ask("LANGUAGE.INI", 0).position, 4640);  // the wording a client prints with
    EXPECT_EQ(+ask("receipt.bmp", 0).position > 0, true);
}

// A station that announces a file far larger than any it serves is not
// believed: the client stops before asking for a second chunk (it once
// asked for chunks up to the size announced, holding them all).
TEST(StationFetch, AnAbsurdFileSizeIsRefusedAtOnce) {
    struct Boaster final : StationTransport {
        int32_t announced = 0;
        int calls = 0;
        TransportReply call(Procedure, const std::string& request, const std::string&) override {
            ++calls;
            FileChunk c;
            if (!ndr::decode<FileChunkFormat>(request, c)) return {};
            if (c.position == 0) c.position = announced;
            return {true, ndr::encode<FileChunkFormat>(c), {}};
        }
    };
    const int32_t limit = static_cast<int32_t>(StationClient::kMaxFetchBytes);
    for (int32_t announced : {INT32_MAX, limit + 1}) {
        Boaster station;
        station.announced = announced;
        StationClient client(station);
        std::string content;
        Status s = client.fetchFile("stock1.bmp", content);
        EXPECT_NE(s.message().find("is larger than a station file can be"), std::string::npos)
            << announced << ": " << s.message();
        EXPECT_EQ(station.calls, 1);
        EXPECT_TRUE(content.empty());
    }
    Boaster small;
    small.announced = 4500;  // three chunks, each answered in full
    StationClient client(small);
    std::string content;
    EXPECT_TRUE(client.fetchFile("stock1.bmp", content));
    EXPECT_EQ(content.size(), 4500u);
    EXPECT_EQ(small.calls, 3);
}

}  // namespace
}  // namespace kassio::test
