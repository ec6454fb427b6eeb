#include "specs/named_specs.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "config.h"

namespace vorn {
namespace {

class NamedSpecsTest : public ::testing::Test {};

std::vector<std::string> list_names() {
  std::vector<std::string> names;
  for (NamedSpec* spec = first_named_spec(); spec != nullptr; spec = spec->next) {
    names.push_back(spec->name);
  }
  return names;
}

TEST_F(NamedSpecsTest, InstalledListHasBuiltinOrderThenAsmCpuSpec) {
  EXPECT_FALSE(spec_list_exists());
  install_default_specs(false);
  ASSERT_TRUE(spec_list_exists());
  std::vector<std::string> names = list_names();
  ASSERT_EQ(names.size(), 46u);
  EXPECT_EQ(names[0], "asm");
  EXPECT_EQ(names[5], "invoke_as");
  EXPECT_EQ(names[17], "link");
  EXPECT_EQ(names[20], "libvorn");
  EXPECT_EQ(names[44], "self_spec");
  EXPECT_EQ(names[45], "asm_cpu_spec");
  NamedSpec* added = find_named_spec("asm_cpu_spec");
  EXPECT_EQ(added->name_length, 12);
  EXPECT_STREQ(added->default_text, " %{mcpu=*:-march=%:rewrite_mcpu(%{mcpu=*:%*})}");
  EXPECT_STREQ(added->text(), added->default_text);
}

TEST_F(NamedSpecsTest, StartUpRewritesLibvornAndLink) {
  const char* link_before = spec_text(SpecId::kLink);
  EXPECT_EQ(link_command_spec(), nullptr);
  install_default_specs(false);
  EXPECT_STREQ(spec_text(SpecId::kLibvorn),
               "%{static|static-libvorn|static-pie:-lvorn -lvorn_eh}%{!static:%{!static-libvorn:"
               "%{!static-pie:%{!shared-libvorn:-lvorn --push-state --as-needed -lvorn_s "
               "--pop-state}%{shared-libvorn:-lvorn_s%{!shared: -lvorn}}}}}");
  EXPECT_EQ(std::string(spec_text(SpecId::kLink)),
            std::string("%{!static|static-pie:--eh-frame-hdr} ") + link_before);
  EXPECT_TRUE(find_named_spec("libvorn")->owned);
  EXPECT_EQ(std::string(link_command_spec()).rfind("%{!fsyntax-only:%{!c:%{!M:%{!MM:", 0), 0u);
}

TEST_F(NamedSpecsTest, LibvornRewriteOnlyTouchesWordStarts) {
  set_static_spec(spec_slot(SpecId::kLibvorn), "x-lvorn libvorn.a%s -lm", false);
  install_default_specs(false);
  EXPECT_STREQ(spec_text(SpecId::kLibvorn),
               "x-lvorn %{static|static-libvorn|static-pie:libvorn.a%s libvorn_eh.a%s}"
               "%{!static:%{!static-libvorn:%{!static-pie:%{!shared-libvorn:libvorn.a%s "
               "--push-state --as-needed -lvorn_s --pop-state}%{shared-libvorn:-lvorn_s"
               "%{!shared: libvorn.a%s}}}}} -lm");
}

// The texts that carry build-time values are joined at compile time.
TEST_F(NamedSpecsTest, ConfiguredValuesAreFilledIn) {
  std::string version = config::kVersion;
  EXPECT_EQ(spec_text(SpecId::kVersion), version.substr(0, version.find(' ')));
  std::string link = spec_text(SpecId::kLink);
  EXPECT_NE(link.find(std::string("--hash-style=mox -rpath ") + config::kLibDir +
                      " %{rdynamic:-export-dynamic}"),
            std::string::npos);
  EXPECT_EQ(link.rfind("%{p:%nconsider using `-pg' instead of `-p' with gprof (1)}", 0), 0u);
  EXPECT_STREQ(named_spec_text("cfe1"), "");
  EXPECT_EQ(named_spec_text("mfwrap"), nullptr);
}

TEST_F(NamedSpecsTest, DefineSpecCreatesAtFrontAndAppendsWithPlus) {
  define_spec("extra", "-DA", true);
  ASSERT_TRUE(spec_list_exists());
  EXPECT_EQ(first_named_spec()->name, std::string("extra"));
  EXPECT_TRUE(first_named_spec()->user);

  define_spec("extra", "+ -DB", false);
  EXPECT_STREQ(named_spec_text("extra"), "-DA -DB");
  EXPECT_FALSE(find_named_spec("extra")->user);

  define_spec("cfe1_options", "+\t-DEXTRA", false);
  std::string options = named_spec_text("cfe1_options");
  EXPECT_EQ(options.substr(options.size() - 8), "\t-DEXTRA");
  EXPECT_EQ(options.rfind("%{pg:", 0), 0u);

  // "+" without a blank is an ordinary text.
  define_spec("cpp", "+x", false);
  EXPECT_STREQ(spec_text(SpecId::kCpp), "+x");
  EXPECT_TRUE(find_named_spec("cpp")->owned);
  EXPECT_EQ(list_names().size(), 47u);
}

TEST_F(NamedSpecsTest, LookupBeforeInstallDoesNotCreateTheList) {
  EXPECT_NE(find_named_spec("asm"), nullptr);
  EXPECT_FALSE(spec_list_exists());
}

TEST_F(NamedSpecsTest, SetStaticSpecReplacesBySlot) {
  set_static_spec(spec_slot(SpecId::kLtoRunner), "/x/lto-runner", true);
  EXPECT_STREQ(named_spec_text("lto_runner"), "/x/lto-runner");
  EXPECT_TRUE(find_named_spec("lto_runner")->owned);
  set_static_spec(spec_slot(SpecId::kLtoRunner), "", false);
  EXPECT_FALSE(find_named_spec("lto_runner")->owned);
}

TEST_F(NamedSpecsTest, DumpSpecsFormat) {
  install_default_specs(false);
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  dump_specs(out);
  std::fclose(out);
  std::string dump(text, size);
  free(text);
  EXPECT_EQ(dump.rfind("*asm:\n%{mbig-endian:-EB} ", 0), 0u);
  EXPECT_NE(dump.find("\n\n*cfe1:\n\n\n*cfe1_options:\n"), std::string::npos);
  EXPECT_NE(dump.find("\n\n*link_command:\n%{!fsyntax-only:"), std::string::npos);
  EXPECT_EQ(dump.substr(dump.size() - 3), "}\n\n");
}

// An internal error exits with status 4, or aborts before the diagnostic
// context is set up.
bool internal_error_status(int status) {
  return (WIFEXITED(status) && WEXITSTATUS(status) == 4) ||
         (WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT);
}

TEST(NamedSpecsDeathTest, UnknownSlotIsAnInternalError) {
  const char* stray = "";
  EXPECT_EXIT(set_static_spec(&stray, "x", false), internal_error_status, "in set_static_spec");
}

}  // namespace
}  // namespace vorn
