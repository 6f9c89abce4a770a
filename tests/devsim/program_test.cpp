// The devsim program: its help, its errors and a session on its console.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "harness.h"
#include "ostrel_records.h"
#include "test_support.h"

namespace {

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Runs devsim with arguments and standard input; a hung program is killed.
Outcome RunDevsim(const testsupport::TempDir& dir, const std::string& arguments,
                  const std::string& input = "") {
  std::ofstream(dir.file("stdin")) << input;
  std::string command = "timeout 20 " + std::string(DEVSIM_PROGRAM) + " " + arguments + " <" +
                        dir.file("stdin") + " >" + dir.file("stdout") + " 2>" + dir.file("stderr");
  int status = std::system(command.c_str());
  Outcome outcome;
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.out = Slurp(dir.file("stdout"));
  outcome.err = Slurp(dir.file("stderr"));
  return outcome;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(DevsimProgram, HelpSaysAllOfIt) {
  testsupport::TempDir dir;
  Outcome help = RunDevsim(dir, "--help");
  EXPECT_EQ(help.exitCode, 0);
  for (const char* part :
       {"--config", "--scenario", "--service NAME", "NAME:CLASS:PORT", "--raw-log", "\"rules\"",
        "eventsBefore", "announce", "answer on|off", "listen on|off", "hwerror", "quit"}) {
    EXPECT_TRUE(Has(help.out, part)) << part;
  }
}

TEST(DevsimProgram, ErrorsAreClearAndFail) {
  testsupport::TempDir dir;
  Outcome none = RunDevsim(dir, "");
  EXPECT_EQ(none.exitCode, 2);
  EXPECT_TRUE(Has(none.err, "nothing to serve")) << none.err;

  Outcome unknown = RunDevsim(dir, "--bogus");
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_TRUE(Has(unknown.err, "unknown argument \"--bogus\"")) << unknown.err;

  Outcome missing = RunDevsim(dir, "--config " + dir.file("wfp.ini"));
  EXPECT_NE(missing.exitCode, 0);
  EXPECT_TRUE(Has(missing.err, dir.file("wfp.ini") + ": no such file")) << missing.err;

  std::ofstream(dir.file("wfp.ini")) << "[CardReader]\nclass=IDC\nport=0\n";
  Outcome section = RunDevsim(dir, "--config " + dir.file("wfp.ini") + " --service Printer");
  EXPECT_NE(section.exitCode, 0);
  EXPECT_TRUE(Has(section.err, "has no service \"Printer\"")) << section.err;

  std::ofstream(dir.file("bad.json")) << R"({"rules": [{"kind": "execute", "delayMs": "soon"}]})";
  Outcome scenario =
      RunDevsim(dir, "--config " + dir.file("wfp.ini") + " --scenario " + dir.file("bad.json"));
  EXPECT_NE(scenario.exitCode, 0);
  EXPECT_TRUE(Has(scenario.err, dir.file("bad.json") + ": rules[0].delayMs must be an integer"))
      << scenario.err;

  devsimtest::Catcher taken;
  Outcome inUse = RunDevsim(dir, "--service CardReader:IDC:" + std::to_string(taken.port()));
  EXPECT_NE(inUse.exitCode, 0);
  EXPECT_TRUE(Has(inUse.err, "port " + std::to_string(taken.port()) + " is in use")) << inUse.err;
}

TEST(DevsimProgram, ServesUntilQuit) {
  testsupport::TempDir dir;
  int port = testsupport::FreePort();
  std::ofstream(dir.file("wfp.ini")) << "[CardReader]\nclass=IDC\nport=" << port << "\n";
  Outcome session = RunDevsim(dir, "--config " + dir.file("wfp.ini"), "status\nfly\nquit\n");
  EXPECT_EQ(session.exitCode, 0) << session.err;
  EXPECT_TRUE(Has(session.out, "CardReader (IDC) port " + std::to_string(port))) << session.out;
  EXPECT_TRUE(Has(session.out, "error: unknown command \"fly\"")) << session.out;
  EXPECT_TRUE(Has(session.out, "bye"));
  EXPECT_TRUE(Has(session.err, "CardReader (IDC) listens on 127.0.0.1:" + std::to_string(port)))
      << session.err;
}

}  // namespace
