#include "net/HttpsClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "HttpsServer.h"
#include "ScriptedServer.h"
#include "model/Files.h"

namespace tallyra {
namespace {

using Clock = std::chrono::steady_clock;

// One HTTPS server for the whole suite: starting python3 takes a while.
class Https : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/tallyra-https-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root = new std::string(pattern);
    std::system(("mkdir -p '" + *root + "/files'").c_str());
    results = new std::string;
    for (int i = 1; i <= 300; ++i) {
      *results += std::to_string(i) + " - 1,2,3,4,5," + std::to_string(i % 40 + 6) + ";\r\n";
    }
    ASSERT_FALSE(WriteFileReplacing(*root + "/files/Results.txt", *results));
    server = new HttpsServer(*root);
  }
  static void TearDownTestSuite() {
    delete server;
    std::system(("rm -rf '" + *root + "'").c_str());
    delete root;
    delete results;
  }
  void SetUp() override {
    ASSERT_TRUE(server->running()) << "python3's HTTPS server did not start";
    client.TargetPath = *root + "/body.txt";
    client.TimeOut = 5000;
    client.CaFile = HttpsServer::CertFile();
    client.WaitHook = [this] { ++hooks; };
  }
  std::string Body() { return ReadWholeFile(client.TargetPath).data; }

  static std::string* root;
  static std::string* results;
  static HttpsServer* server;
  THttpsClient client;
  int hooks = 0;
};
std::string* Https::root = nullptr;
std::string* Https::results = nullptr;
HttpsServer* Https::server = nullptr;

TEST_F(Https, TheTrustedServerGivesTheFileWholeAlsoAfterARedirect) {
  client.FetchToFile(server->url("/files/Results.txt"));
  EXPECT_EQ(client.StatusCode, 200);
  EXPECT_TRUE(client.BodyComplete());
  EXPECT_EQ(client.ContentLength, static_cast<int64_t>(results->size()));
  EXPECT_TRUE(Body() == *results);
  EXPECT_EQ(client.Header.rfind("HTTP/1.", 0), 0u) << client.Header;
  EXPECT_GT(hooks, 0);

  std::remove(client.TargetPath.c_str());
  client.FetchToFile(server->url("/redirect"));
  EXPECT_EQ(client.StatusCode, 200);
  EXPECT_TRUE(Body() == *results);
  EXPECT_EQ(client.Header.find("302"), std::string::npos) << "the last answer's header only";

  client.TargetPath.clear();
  client.FetchToFile(server->url("/missing"));
  EXPECT_EQ(client.StatusCode, 404);
  EXPECT_EQ(client.BodyText, "");
}

// A body that cannot be stored is a problem told in the user's language, as over http://.
TEST_F(Https, ATargetThatCannotBeWrittenIsAProblemWithTheFilesName) {
  client.TargetPath = *root + "/files";
  try {
    client.FetchToFile(server->url("/files/Results.txt"));
    FAIL() << "a folder was written to";
  } catch (const ProblemError& e) {
    EXPECT_EQ(e.problem().text, TextId::TxtCannotWrite);
    EXPECT_EQ(e.problem().args, std::vector<std::string>{*root + "/files"});
    EXPECT_EQ(e.problem().fileError, EISDIR);
  }
}

TEST_F(Https, AnUntrustedCertificateIsRefusedWithAClearMessage) {
  client.CaFile.clear();
  try {
    client.FetchToFile(server->url("/files/Results.txt"));
    FAIL() << "an unknown certificate was accepted";
  } catch (const ECertificateError& e) {
    EXPECT_NE(std::string(e.what()).find("certificate is not trusted"), std::string::npos)
        << e.what();
  }
  EXPECT_EQ(client.StatusCode, 0);
  EXPECT_EQ(Body(), "") << "nothing of the body was taken";

  // A trust file that is not there is no reason to trust anything.
  client.CaFile = *root + "/none.pem";
  EXPECT_THROW(client.FetchToFile(server->url("/files/Results.txt")), ECertificateError);
}

TEST_F(Https, AShortBodyIsIncompleteAndADowngradeIsNotFollowed) {
  client.FetchToFile(server->url("/short"));
  EXPECT_EQ(client.StatusCode, 200);
  EXPECT_EQ(client.ContentLength, 1000);
  EXPECT_EQ(client.BodySize, 10);
  EXPECT_FALSE(client.BodyComplete());

  try {
    client.FetchToFile(server->url("/plain"));
    FAIL() << "followed a redirect to http://";
  } catch (const ESocketError& e) {
    EXPECT_NE(std::string(e.what()).find("https://"), std::string::npos) << e.what();
  }
}

TEST_F(Https, TheCapsHoldAsOverHttp) {
  client.MaxBody = 100;
  try {
    client.FetchToFile(server->url("/files/Results.txt"));
    FAIL() << "an announced body over the cap was taken";
  } catch (const ETooLarge& e) {
    EXPECT_EQ(e.part, ETooLarge::Part::Body);
    EXPECT_EQ(e.limit, 100);
  }
  EXPECT_EQ(client.BodySize, 0);
  try {
    client.FetchToFile(server->url("/headerflood"));
    FAIL() << "an endless header was taken";
  } catch (const ETooLarge& e) {
    EXPECT_EQ(e.part, ETooLarge::Part::Header);
    EXPECT_GT(e.limit, 0);
    EXPECT_LE(e.limit, static_cast<int64_t>(THttpClient::kMaxHeader));
  }
  try {
    client.FetchToFile(server->url("/flood"));  // no Content-Length: the count stops it
    FAIL() << "an endless body was taken";
  } catch (const ETooLarge& e) {
    EXPECT_EQ(e.part, ETooLarge::Part::Body);
  }
}

TEST_F(Https, AStallEndsWithTheTimeOutWhileTheHookKeepsRunning) {
  // The server sends nothing more until the client hangs up: only the time-out ends the wait,
  // and the hook keeps coming meanwhile (the cancel below shows that it does not wait for
  // data).
  client.TimeOut = 1000;
  const auto start = Clock::now();
  try {
    client.FetchToFile(server->url("/stall"));
    FAIL() << "no time-out";
  } catch (const ESocketError& e) {
    EXPECT_STREQ(e.what(), "Read Timed Out");
  }
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(30)) << "a hang";
  EXPECT_GT(hooks, 1);
  EXPECT_EQ(client.BodySize, 4);
}

TEST_F(Https, CancelEndsAStallAndAFloodAndTheHookNeverWaitsLong) {
  client.TimeOut = 0;
  client.WaitHook = [&] {
    if (++hooks == 40) client.Cancel();
  };
  try {
    client.FetchToFile(server->url("/stall"));
    FAIL() << "not cancelled";
  } catch (const ESocketError& e) {
    EXPECT_STREQ(e.what(), "Connection Canceled");
  }

  // Data never stops; each block takes a while to store, as on a slow disk.
  hooks = 0;
  client.MaxBody = int64_t{512} << 20;  // a safety net: the cancel is meant to come much earlier
  client.Progress = [](int64_t) { std::this_thread::sleep_for(std::chrono::milliseconds(3)); };
  client.WaitHook = [&] {
    if (++hooks == 60) client.Cancel();
  };
  try {
    client.FetchToFile(server->url("/flood"));
    FAIL() << "not cancelled";
  } catch (const ESocketError& e) {
    EXPECT_STREQ(e.what(), "Connection Canceled");
  }
  EXPECT_GT(client.BodySize, 0);
  EXPECT_EQ(hooks, 60);
}

TEST_F(Https, TheSchemeChoosesTheClient) {
  EXPECT_EQ(TWebClient::SchemeOf("http://a/b"), TWebClient::Scheme::Http);
  EXPECT_EQ(TWebClient::SchemeOf("HTTPS://a/b"), TWebClient::Scheme::Https);
  EXPECT_EQ(TWebClient::SchemeOf("ftp://a/b"), TWebClient::Scheme::Other);
  EXPECT_EQ(TWebClient::SchemeOf("www.example/Results.txt"), TWebClient::Scheme::Other);

  TWebClient web;
  web.CaFile = HttpsServer::CertFile();
  web.FetchToFile(server->url("/files/Results.txt"));
  EXPECT_EQ(web.StatusCode, 200);
  EXPECT_TRUE(web.BodyText == *results);

  // http:// goes through the HTTP client, whose request line is HTTP/1.0.
  ScriptedServer plain;
  plain.add(ScriptedServer::ShortBody("abc", 10));
  web.FetchToFile(plain.url("/r.txt"));
  EXPECT_EQ(web.BodyText, "abc");
  EXPECT_FALSE(web.BodyComplete());
  ASSERT_EQ(plain.requests().size(), 1u);
  EXPECT_EQ(plain.requests()[0].rfind("GET /r.txt HTTP/1.0\r\n", 0), 0u);

  EXPECT_THROW(web.FetchToFile("ftp://127.0.0.1/r.txt"), ESocketError);

  // A plain address that redirects to https:// is followed there, certificate checked.
  plain.add(ScriptedServer::Text(
      "HTTP/1.0 301 Moved\r\nLocation: " + server->url("/files/Results.txt") + "\r\n\r\n"));
  web.FetchToFile(plain.url("/r.txt"));
  EXPECT_EQ(web.StatusCode, 200);
  EXPECT_TRUE(web.BodyText == *results);
  EXPECT_TRUE(web.BodyComplete());
  web.CaFile.clear();
  plain.add(ScriptedServer::Text(
      "HTTP/1.0 301 Moved\r\nLocation: " + server->url("/files/Results.txt") + "\r\n\r\n"));
  EXPECT_THROW(web.FetchToFile(plain.url("/r.txt")), ECertificateError);
  web.CaFile = HttpsServer::CertFile();

  // A cancel asked for from the hook reaches the client underneath.
  web.WaitHook = [&] { web.Cancel(); };
  EXPECT_THROW(web.FetchToFile(server->url("/stall")), ESocketError);
}

}  // namespace
}  // namespace tallyra
