// tallyra-cli fetch URL FILE: the window's download of a draw history, to any file.

#include "cli/Commands.h"

#include <cstdint>
#include <limits>
#include <memory>

#include "cli/Lists.h"
#include "model/Files.h"
#include "model/TextTable.h"
#include "net/HttpClient.h"
#include "net/HttpsClient.h"

namespace tallyra::cli {

class FetchCommand final : public Command {
 public:
  FetchCommand();
  int run(const Arguments& args, Output& output) const override;
};

namespace {

// The same limit as the window's download: the command is there to fetch draw histories.
constexpr int64_t kMaxFetchBytes = int64_t{64} << 20;
constexpr int32_t kEnglish = ToValue(Language::English);
constexpr int32_t kAny = std::numeric_limits<int32_t>::max();

}  // namespace

FetchCommand::FetchCommand()
    : Command({.name = "fetch",
               .usage =
                   "  tallyra-cli fetch URL FILE [--timeout MS] [--max-time S] [--fail] [--cacert "
                   "FILE]\n",
               .words = 2,
               .wordsMissing = "fetch needs a URL and a file",
               .options = ListOptions(
                   {{"--fail", Takes::Nothing}, {"--timeout"}, {"--max-time"}, {"--cacert"}})}) {}

// The body replaces the file (whatever the status, unless --fail is given) only once it has
// arrived whole, through a temporary file beside it; the header text as received goes to
// standard output.
int FetchCommand::run(const Arguments& args, Output& output) const {
  if (args.has("--lists")) throw UsageError{"--lists goes with collate"};
  args.refuse({"--stakes", "--system", "--results", "--combination", "--lang", "--max"},
              "fetch takes no ");
  if (args.json()) throw UsageError{"fetch takes no --json"};
  TWebClient client;
  if (auto t = args.number("--timeout", 0, kAny, "--timeout takes milliseconds")) {
    client.TimeOut = *t;
  }
  // The whole fetch, however steadily a server trickles its answer; --timeout alone lets a
  // byte every now and then keep it going for ever.
  int64_t maxSeconds = 0;
  if (auto t = args.number("--max-time", 0, kAny, "--max-time takes whole seconds (0: no limit)")) {
    maxSeconds = *t;
    client.MaxTime = maxSeconds * 1000;
  }
  const std::string& url = args.word(0);
  const std::string& file = args.word(1);
  // Certificates trusted besides the system's own, for https:// (a server with its own CA).
  if (auto ca = args.value("--cacert")) {
    if (!ReadWholeFile(*ca).ok) {
      throw Failure{Format(TextId::TxtCliCannotReadCertificates, kEnglish, {*ca})};
    }
    client.CaFile = *ca;
    if (SameFile(*ca, file)) {
      throw UsageError{"FILE (" + file + ") and --cacert (" + *ca +
                       ") are the same file; nothing was written"};
    }
  }
  client.MaxBody = kMaxFetchBytes;
  std::ostream& err = output.err;
  try {
    client.FetchToFile(url);
  } catch (const ETooLarge& e) {
    err << (e.part == ETooLarge::Part::Header ? "the answer's header" : "the body")
        << " is larger than " << e.limit << " bytes; " << file << " was not changed\n";
    return 1;
  } catch (const ETimeLimit&) {
    err << "the fetch took longer than --max-time " << maxSeconds << " s and was stopped; " << file
        << " was not changed\n";
    return 1;
  } catch (const std::runtime_error& e) {
    err << e.what() << "\n";
    return 1;
  }
  output.out << client.Header;
  output.out.flush();
  // A failure status leaves the file alone only when asked to: the body may be worth seeing.
  if (args.has("--fail") && client.StatusCode >= 400) {
    err << "the server answered with status " << client.StatusCode << "; " << file
        << " was not changed\n";
    return 22;
  }
  if (!client.BodyComplete()) {
    err << "the body is incomplete: " << client.BodySize << " of the " << client.ContentLength
        << " bytes announced arrived; " << file << " was not changed\n";
    return 1;
  }
  if (const auto failure = WriteFileReplacing(file, client.BodyText)) {
    err << Format(TextId::TxtCannotWrite, kEnglish, {file, DescribeFileError(*failure, kEnglish)})
        << "\n";
    return 1;
  }
  return 0;
}

std::unique_ptr<Command> MakeFetchCommand() {
  return std::make_unique<FetchCommand>();
}

}  // namespace tallyra::cli
