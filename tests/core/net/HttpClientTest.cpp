#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
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
    client.TargetPath = dir + "/body.txt";
    client.TimeOut = 5000;
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }
  std::string Body() { return ReadWholeFile(client.TargetPath).data; }

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

TEST_F(Http, ABodyThatBreaksItsContentLengthIsIncomplete) {
  server.add(ScriptedServer::ShortBody("only part", 100));
  client.FetchToFile(server.url("/x"));
  EXPECT_EQ(Body(), "only part");
  EXPECT_EQ(client.ContentLength, 100);
  EXPECT_EQ(client.BodySize, 9);
  EXPECT_FALSE(client.BodyComplete()) << "the connection ended early";

  server.add(ScriptedServer::ShortBody("more than said", 4));
  client.FetchToFile(server.url("/x"));
  EXPECT_FALSE(client.BodyComplete()) << "more arrived than announced";

  server.add(ScriptedServer::ShortBody("", 0));
  client.FetchToFile(server.url("/x"));
  EXPECT_TRUE(client.BodyComplete());
  server.add(ScriptedServer::Text("HTTP/1.0 200 OK\r\n\r\nno length given"));
  client.FetchToFile(server.url("/x"));
  EXPECT_TRUE(client.BodyComplete());
  server.add(ScriptedServer::Text("HTTP/1.0 304 Not Modified\r\nContent-Length: 80\r\n\r\n"));
  client.FetchToFile(server.url("/x"));
  EXPECT_TRUE(client.BodyComplete()) << "a 304 has no body, whatever length it names";
}

TEST_F(Http, SlowDripsArriveAndTheHookRunsBetweenSlices) {
  // Each piece is sent only once the client has run its hook a few times while waiting for it,
  // so the hook is seen to run in the waits whatever the machine's speed.
  std::mutex mutex;
  std::condition_variable hooked;
  int hooks = 0;
  server.add([&](int fd) {
    for (const char* piece : {"HTTP/1.0 200 OK\r", "\nX: y\r\n", "\r\n", "a", "b", "c"}) {
      std::unique_lock lock(mutex);
      const int before = hooks;
      // The bound only ends a hang.
      hooked.wait_for(lock, std::chrono::seconds(30), [&] { return hooks >= before + 3; });
      lock.unlock();
      ScriptedServer::Send(fd, piece);
    }
  });
  client.WaitHook = [&] {
    {
      const std::lock_guard lock(mutex);
      ++hooks;
    }
    hooked.notify_all();
  };
  client.FetchToFile(server.url("/x"));
  EXPECT_EQ(Body(), "abc");
  EXPECT_EQ(client.Header, "HTTP/1.0 200 OK\r\nX: y\r\n\r\n");
  EXPECT_GE(hooks, 18);
}

TEST_F(Http, AStallEndsWithTheTimeOutAndCancelEndsAnyWait) {
  // The server says no more until the client hangs up, so only the time-out can end the wait.
  server.add(ScriptedServer::Stall("HTTP/1.0 200 OK\r\n", 30000));
  client.TimeOut = 200;
  try {
    client.FetchToFile(server.url("/x"));
    FAIL() << "no time-out";
  } catch (const ESocketError& e) {
    EXPECT_STREQ(e.what(), "Socket readln aborted");
  }
  server.add(ScriptedServer::Stall("HTTP/1.0 200 OK\r\n\r\nsome", 30000));
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

TEST_F(Http, OversizedAnswersEndTheExchange) {
  auto expectTooLarge = [&](ETooLarge::Part part, int64_t limit) {
    try {
      client.FetchToFile(server.url("/x"));
      ADD_FAILURE() << "accepted";
    } catch (const ETooLarge& e) {
      EXPECT_EQ(e.part, part);
      EXPECT_EQ(e.limit, limit);
    }
  };
  // One huge line, then endless lines of a sensible length.
  server.add(
      ScriptedServer::Text("HTTP/1.0 200 OK\r\nX-Long: " + std::string(70000, 'x') + "\r\n\r\n"));
  expectTooLarge(ETooLarge::Part::Header, 65536);
  server.add(ScriptedServer::HeaderFlood());
  expectTooLarge(ETooLarge::Part::Header, 1 << 20);
  EXPECT_LE(client.Header.size(), std::size_t{1} << 20);

  // A body without end stops at the limit, and no byte beyond it reaches the file.
  client.MaxBody = 3 << 20;
  server.add(ScriptedServer::BodyFlood());
  expectTooLarge(ETooLarge::Part::Body, 3 << 20);
  EXPECT_LE(Body().size(), std::size_t{3} << 20);
  EXPECT_GT(Body().size(), std::size_t{2} << 20);
  // An announced length over the limit is refused before the body: the server sends none and
  // waits until the client hangs up, and a client that waited for it would run into the
  // time-out instead.
  server.add(ScriptedServer::Stall("HTTP/1.0 200 OK\r\nContent-Length: 4000000\r\n\r\n", 30000));
  expectTooLarge(ETooLarge::Part::Body, 3 << 20);
  // A body within the limit is whole.
  server.add(ScriptedServer::Text("HTTP/1.0 200 OK\r\n\r\n" + std::string(3 << 20, 'b')));
  client.FetchToFile(server.url("/x"));
  EXPECT_EQ(Body().size(), std::size_t{3} << 20);
}

// The answer is all there at once, so no read ever has to wait: the hook still runs and a
// cancel from it ends the transfer.
TEST_F(Http, TheHookRunsAndCancelWorksWhileDataNeverStops) {
  int fds[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fds), 0);
  int size = 1 << 20;
  ::setsockopt(fds[1], SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
  std::string answer = "HTTP/1.0 200 OK\r\n";
  for (int i = 0; i < 40; ++i) answer += "X-Line: " + std::to_string(i) + "\r\n";
  answer += "\r\n" + std::string(150000, 'z');
  std::size_t sent = 0;
  while (sent < answer.size()) {
    const ssize_t n = ::send(fds[1], answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
    ASSERT_GT(n, 0) << "the socket buffer took less than the answer";
    sent += static_cast<std::size_t>(n);
  }
  ::close(fds[1]);
  // Each block takes a while to store, as on a slow disk.
  client.Progress = [](int64_t) { std::this_thread::sleep_for(std::chrono::milliseconds(15)); };
  int hooks = 0;
  client.WaitHook = [&] {
    if (++hooks == 2) client.Cancel();
  };
  try {
    client.ReceiveAnswer(fds[0]);
    FAIL() << "not cancelled";
  } catch (const ESocketError& e) {
    EXPECT_STREQ(e.what(), "Connection Canceled");
  }
  EXPECT_EQ(hooks, 2);
  EXPECT_LT(client.BodySize, 150000);
}

TEST_F(Http, CancelEndsABodyFlood) {
  client.MaxBody = 512 << 20;  // a safety net: the cancel is meant to come much earlier
  server.add(ScriptedServer::BodyFlood());
  int hooks = 0;
  client.WaitHook = [&] {
    if (++hooks == 30) client.Cancel();
  };
  try {
    client.FetchToFile(server.url("/x"));
    FAIL() << "not cancelled";
  } catch (const ESocketError& e) {
    EXPECT_STREQ(e.what(), "Connection Canceled");
  }
}

TEST_F(Http, ControlCharactersInTheHeaderAreRefused) {
  for (const char* line : {"Location: /second\rX-Evil: 1", "Set-Cookie: id=7\rX-Evil: 1",
                           "X-Other: a\x01b", "Location: /a\x7f"}) {
    server.add(ScriptedServer::Text(std::string("HTTP/1.0 302 Found\r\n") + line +
                                    "\r\nLocation: /next\r\n\r\n"));
    try {
      client.FetchToFile(server.url("/x"));
      ADD_FAILURE() << "accepted " << line;
    } catch (const ESocketError& e) {
      EXPECT_STREQ(e.what(), "Control character in the answer header");
    }
  }
  EXPECT_EQ(server.requests().size(), 4u) << "no redirect was followed";
  // Tabs are fine.
  server.add(ScriptedServer::Text("HTTP/1.0 200 OK\r\nX-Tab:\tvalue\r\n\r\nbody"));
  client.FetchToFile(server.url("/x"));
  EXPECT_EQ(Body(), "body");
}

TEST_F(Http, RelativeLocationsStayOnTheServerWhateverTheyHold) {
  server.add(ScriptedServer::Text("HTTP/1.0 302 Found\r\nLocation: /a:b/Results.txt\r\n\r\n"));
  server.add(ScriptedServer::Text("HTTP/1.0 302 Found\r\nLocation: x:1/y\r\n\r\n"));
  server.add(ScriptedServer::Text("HTTP/1.0 302 Found\r\nLocation: //127.0.0.1:" +
                                  std::to_string(server.port()) + "/via/network-path\r\n\r\n"));
  server.add(ScriptedServer::Text("HTTP/1.0 200 OK\r\n\r\ndone"));
  client.FetchToFile(server.url("/start"));
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 4u);
  auto first = [](const std::string& r) { return r.substr(0, r.find("\r\n")); };
  EXPECT_EQ(first(requests[1]), "GET /a:b/Results.txt HTTP/1.0");
  EXPECT_EQ(first(requests[2]), "GET /x:1/y HTTP/1.0");
  EXPECT_EQ(first(requests[3]), "GET /via/network-path HTTP/1.0");
  EXPECT_EQ(Body(), "done");

  server.add(ScriptedServer::Text("HTTP/1.0 302 Found\r\n\r\n"));
  EXPECT_THROW(client.FetchToFile(server.url("/x")), ESocketError) << "a redirect to nowhere";
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
    ::execlp("timeout", "timeout", "60", "python3", "-m", "http.server",
             std::to_string(port).c_str(), "--bind", "127.0.0.1", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  bool done = false;
  // python3 may take a while to start on a busy machine.
  for (int attempt = 0; attempt < 300 && !done; ++attempt) {
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
