#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ScriptedServer.h"
#include "model/Files.h"
#include "net/HttpClient.h"

namespace tallyra {
namespace {

class Http : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tallyra-http-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
    client.InputFileMode = true;
    client.Body = dir + "/body.txt";
    client.TimeOut = 5000;
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }
  std::string Body() { return ReadWholeFile(client.Body).data; }

  std::string dir;
  ScriptedServer server;
  THttpClient client;
};

constexpr const char* kRequestTail =
    "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
    "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n";

TEST_F(Http, TheRequestLinesAndABodyWrittenWhole) {
  server.add(ScriptedServer::Text("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello"));
  client.FetchToFile(server.url("/files/Results.txt"));
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0],
            std::string("GET /files/Results.txt HTTP/1.0\r\nHost: 127.0.0.1\r\n") + kRequestTail +
                "Content-type: application/x-www-form-urlencoded\r\n\r\n");
  EXPECT_EQ(client.StatusCode, 200);
  EXPECT_EQ(client.ContentLength, 5);
  EXPECT_EQ(client.Header, "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n");
  EXPECT_EQ(Body(), "hello");
}

TEST_F(Http, RedirectsWithAndWithoutASlashAndTheCookie) {
  server.add(ScriptedServer::Text("HTTP/1.0 302 Found\r\nSet-Cookie: id=7\r\nLocation: " +
                                  server.url("/second") + "\r\n\r\nfirst body"));
  server.add(ScriptedServer::Text("HTTP/1.0 301 Moved\r\nLocation: third.txt\r\n\r\n"));
  server.add(ScriptedServer::Text("HTTP/1.0 200 OK\r\n\r\nthe end"));
  client.FetchToFile(server.url("/first"));
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].substr(0, requests[1].find("\r\n")), "GET /second HTTP/1.0");
  EXPECT_NE(requests[1].find("\r\nCookie: id=7\r\n"), std::string::npos);
  // A bare name stays on the same server and port.
  EXPECT_EQ(requests[2].substr(0, requests[2].find("\r\n")), "GET /third.txt HTTP/1.0");
  EXPECT_EQ(Body(), "the end") << "each answer's body replaces the one before";
  EXPECT_EQ(client.StatusCode, 200);
}

TEST_F(Http, EndlessRedirectsStopAfterTen) {
  for (int i = 0; i < 12; ++i) {
    server.add(ScriptedServer::Text("HTTP/1.0 307 Again\r\nLocation: " + server.url("/again") +
                                    "\r\n\r\n"));
  }
  EXPECT_THROW(client.FetchToFile(server.url("/")), ESocketError);
  EXPECT_EQ(server.requests().size(), 11u);
}

TEST_F(Http, OtherStatusesEndTheExchangeWithTheirBody) {
  server.add(ScriptedServer::Text("HTTP/1.0 404 Not Found\r\n\r\n<html>missing</html>"));
  client.FetchToFile(server.url("/x"));
  EXPECT_EQ(client.StatusCode, 404);
  EXPECT_EQ(Body(), "<html>missing</html>");
  server.add(ScriptedServer::Text("HTTP/1.0 304 Not Modified\r\nLocation: /y\r\n\r\n"));
  client.FetchToFile(server.url("/x"));
  EXPECT_EQ(client.StatusCode, 304);
  EXPECT_EQ(server.requests().size(), 2u) << "304 is not followed";
  server.add(ScriptedServer::Text("SOMETHING else\r\n\r\nbody"));
  client.FetchToFile(server.url("/x"));
  EXPECT_EQ(client.StatusCode, 0) << "a status that is no number is 0";
}

TEST_F(Http, ACloseWithoutHeaderGivesStatusZeroAndAnEmptyBody) {
  server.add([](int) {});
  client.FetchToFile(server.url("/x"));
  EXPECT_EQ(client.StatusCode, 0);
  EXPECT_EQ(client.Header, "");
  EXPECT_EQ(Body(), "");
}

TEST_F(Http, ACloseMidBodyKeepsWhatArrived) {
  server.add(ScriptedServer::Text("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nonly part"));
  client.FetchToFile(server.url("/x"));
  EXPECT_EQ(Body(), "only part");
  EXPECT_EQ(client.ContentLength, 100);
}

TEST_F(Http, SlowDripsArriveAndTheHookRunsBetweenSlices) {
  server.add([](int fd) {
    for (const char* piece : {"HTTP/1.0 200 OK\r", "\nX: y\r\n", "\r\n", "a", "b", "c"}) {
      ScriptedServer::Send(fd, piece);
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
  });
  int hooks = 0;
  client.WaitHook = [&] { ++hooks; };
  client.FetchToFile(server.url("/x"));
  EXPECT_EQ(Body(), "abc");
  EXPECT_EQ(client.Header, "HTTP/1.0 200 OK\r\nX: y\r\n\r\n");
  EXPECT_GT(hooks, 20);
}

TEST_F(Http, AStallEndsWithTheTimeOutAndCancelEndsAnyWait) {
  server.add([](int fd) {
    ScriptedServer::Send(fd, "HTTP/1.0 200 OK\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
  });
  client.TimeOut = 200;
  try {
    client.FetchToFile(server.url("/x"));
    FAIL() << "no time-out";
  } catch (const ESocketError& e) {
    EXPECT_STREQ(e.what(), "Socket readln aborted");
  }
  server.add([](int fd) {
    ScriptedServer::Send(fd, "HTTP/1.0 200 OK\r\n\r\nsome");
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
  });
  client.TimeOut = 0;
  int slices = 0;
  client.WaitHook = [&] {
    if (++slices == 50) client.Cancel();
  };
  try {
    client.FetchToFile(server.url("/x"));
    FAIL() << "not cancelled";
  } catch (const ESocketError& e) {
    EXPECT_STREQ(e.what(), "Connection Canceled");
  }
}

TEST_F(Http, HugeHeaderLinesFailTheExchange) {
  server.add(
      ScriptedServer::Text("HTTP/1.0 200 OK\r\nX-Long: " + std::string(70000, 'x') + "\r\n\r\n"));
  try {
    client.FetchToFile(server.url("/x"));
    FAIL() << "accepted";
  } catch (const ESocketError& e) {
    EXPECT_STREQ(e.what(), "Header line too long");
  }
}

TEST_F(Http, NetworkFailuresHaveTheirTexts) {
  auto expect = [&](const std::string& url, const char* text, const char* alternative = "") {
    try {
      client.FetchToFile(url);
      ADD_FAILURE() << url;
    } catch (const ESocketError& e) {
      EXPECT_TRUE(std::string(e.what()) == text || std::string(e.what()) == alternative)
          << url << ": " << e.what();
    }
  };
  expect("http://127.0.0.1:1/x", "Connection Failed");
  expect("https://127.0.0.1/x", "HTTP Secure Socket is not supported");
  // Without a name server the lookup may also run into the time-out.
  expect("http://no-such-host.invalid/x", "Host Lookup Failed", "Host Lookup Timed Out");
  expect("http://0.0.0.0/x", "Null Remote Address");
  EXPECT_THROW(client.FetchToFile(""), std::runtime_error);
}

TEST_F(Http, AHundredMegabytesArriveByteForByte) {
  std::string big(100 << 20, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + i % 23);
  server.add(ScriptedServer::Text("HTTP/1.0 200 OK\r\n\r\n" + big));
  int64_t reported = 0;
  client.Progress = [&](int64_t bytes) { reported = bytes; };
  client.FetchToFile(server.url("/big"));
  EXPECT_EQ(reported, static_cast<int64_t>(big.size()));
  EXPECT_TRUE(Body() == big);
}

// A real HTTP server from the system: python3's http.server serving a results file.
TEST_F(Http, ARealServerServesTheResultsFile) {
  std::system(("mkdir -p '" + dir + "/www/files'").c_str());
  std::string results;
  for (int i = 1; i <= 300; ++i)
    results += std::to_string(i) + " - 1,2,3,4,5," + std::to_string(i % 40 + 6) + ";\r\n";
  ASSERT_FALSE(WriteFileReplacing(dir + "/www/files/Results.txt", results));
  const int port = 20000 + static_cast<int>(::getpid() % 20000);
  const pid_t child = ::fork();
  if (child == 0) {
    ::chdir((dir + "/www").c_str());
    ::execlp("timeout", "timeout", "30", "python3", "-m", "http.server",
             std::to_string(port).c_str(), "--bind", "127.0.0.1", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  bool done = false;
  for (int attempt = 0; attempt < 100 && !done; ++attempt) {
    try {
      client.FetchToFile("http://127.0.0.1:" + std::to_string(port) + "/files/Results.txt");
      done = true;
    } catch (const ESocketError&) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  ::kill(child, SIGTERM);
  ::waitpid(child, nullptr, 0);
  ASSERT_TRUE(done) << "python3's server did not answer";
  EXPECT_EQ(client.StatusCode, 200);
  EXPECT_EQ(Body(), results);
}

}  // namespace
}  // namespace tallyra
