// The script examples of docs/script.md, assembled and run headless by the real Velmora, with
// what each says it leaves behind checked, so that the guide never goes stale.
//
// An example is a ```vms block; its lines "; expect output: TEXT" and "; expect save/NAME: TEXT"
// (TEXT with \r and \n escapes) name what the run prints and what a file of the save folder
// holds afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/game_folder.h"
#include "support/temp_dir.h"

namespace {

struct Example {
  std::string source;
  std::vector<std::pair<std::string, std::string>> expects;  // (what, text)
};

std::string unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'r' || s[i + 1] == 'n')) {
      out += s[++i] == 'r' ? '\r' : '\n';
    } else {
      out += s[i];
    }
  }
  return out;
}

std::vector<Example> examples(const std::string& markdown) {
  std::vector<Example> out;
  const std::string open = "```vms\n", close = "```";
  for (size_t at = markdown.find(open); at != std::string::npos; at = markdown.find(open, at)) {
    at += open.size();
    const size_t end = markdown.find(close, at);
    Example e;
    e.source = markdown.substr(at, end - at);
    const std::string tag = "; expect ";
    for (size_t line = e.source.find(tag); line != std::string::npos;
         line = e.source.find(tag, line + 1)) {
      const size_t eol = e.source.find('\n', line);
      const std::string body = e.source.substr(line + tag.size(), eol - line - tag.size());
      const size_t colon = body.find(": ");
      e.expects.emplace_back(body.substr(0, colon), unescape(body.substr(colon + 2)));
    }
    out.push_back(e);
    at = end + close.size();
  }
  return out;
}

TEST(DocsExamples, ScriptGuideExamplesRunAsDocumented) {
  const std::vector<Example> all =
      examples(testsupport::read_file(std::string(VELMORA_SOURCE_DIR) + "/docs/script.md"));
  ASSERT_GE(all.size(), 4u);
  for (size_t i = 0; i < all.size(); ++i) {
    SCOPED_TRACE("example " + std::to_string(i + 1) + ":\n" + all[i].source);
    testsupport::GameFolderOptions o;
    o.script = all[i].source;
    testsupport::GameFolder game(o);
    const testsupport::RunResult r = game.run();
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_FALSE(all[i].expects.empty()) << "an example says what it leaves";
    for (const auto& [what, text] : all[i].expects) {
      if (what == "output") {
        EXPECT_NE(r.output.find(text), std::string::npos) << r.output;
      } else {
        ASSERT_EQ(what.rfind("save/", 0), 0u) << what;
        EXPECT_EQ(testsupport::read_file(game.save() + what.substr(4)), text) << r.output;
      }
    }
  }
}

}  // namespace
