// Conditional and print groups, switch liveness and cancellation, copying
// switches, and validation of the switches that specs name.
#include "specs/spec_groups.h"

#include <gtest/gtest.h>

#include <string>

#include "spec_test_support.h"
#include "specs/compilers_table.h"

namespace vorn::testing {
namespace {

using ::testing::ExitedWithCode;

// TEXT as a death-test pattern that matches only TEXT itself.
std::string regex_quote(const std::string& text) {
  std::string quoted;
  for (char c : text) {
    if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) quoted += '\\';
    quoted += c;
  }
  return quoted;
}

class GroupTest : public SpecTest {};

TEST_F(GroupTest, ConditionsChooseAtMostOneAlternative) {
  const char* spec = "%{S:X;T:Y;:Z}";
  EXPECT_EQ(expand(spec), (Words{"Z"}));
  add_switch("-T");
  EXPECT_EQ(expand(spec), (Words{"Y"}));
  add_switch("-S");
  EXPECT_EQ(expand(spec), (Words{"X"}));
  EXPECT_EQ(expand("%{!S:X}%{!U:Y}"), (Words{"Y"}));
  EXPECT_EQ(expand("%{S|T:X}"), (Words{"X"}));
  EXPECT_EQ(expand("%{U|!V:X}"), (Words{"X"}));
  // An alternative without a body still counts as matched.
  EXPECT_EQ(expand("%{S;:Z}"), (Words{}));
  EXPECT_EQ(expand("%{static|shared|S:;pie:-pie}"), (Words{}));
}

TEST_F(GroupTest, BodiesKeepLeadingBlanksAndDropTrailingOnes) {
  add_switch("-S");
  EXPECT_EQ(expand("-x%{S: foo}"), (Words{"-x", "foo"}));
  EXPECT_EQ(expand("-x%{S:foo  }y"), (Words{"-xfooy"}));
  EXPECT_EQ(expand("%{S:a{b}c;:d}"), (Words{"a{b}c"}));
  // A newline is not a blank: at the end of a body it still ends a command.
  EXPECT_EQ(expand("%{S:first x \n}second y"), (Words{"second", "y"}));
  ASSERT_EQ(hooks_.commands.size(), 1u);
  EXPECT_EQ(hooks_.commands[0], (Words{"first", "x"}));
}

// A body's end is found wherever its stop falls in memory: at every
// alignment of the text and every distance from the body's start, with
// stops of each kind just before, at and after a block boundary.
TEST_F(GroupTest, BodyEndsAreFoundAtEveryPositionAndAlignment) {
  add_switch("-S");
  std::string buffer;
  for (std::size_t shift = 0; shift < 32; ++shift) {
    for (std::size_t length = 0; length < 40; ++length) {
      const std::string run(length, 'a');
      const std::string specs[] = {
          "%{T:" + run + "}b",
          "%{T:" + run + ";S:c}",
          "%{T:" + run + "{x}y;:d}",
          "%{S:x" + run + "%%;:e}",
      };
      const Words expected[] = {{"b"}, {"c"}, {"d"}, {"x" + run + "%"}};
      for (std::size_t i = 0; i < 4; ++i) {
        buffer.assign(shift, ' ');
        buffer += specs[i];
        EXPECT_EQ(expand(buffer.c_str() + shift), expected[i])
            << "shift " << shift << ", spec " << specs[i];
      }
    }
  }
}

TEST_F(GroupTest, PrintGroupsCopySwitchesInCommandLineOrder) {
  add_switch("-trigraphs");
  add_switch("-std=c99");
  add_switch("-I", {"a"});
  add_switch("-ansi");
  add_switch("-Ib");
  EXPECT_EQ(expand("%{std*&ansi&trigraphs}"), (Words{"-trigraphs", "-std=c99", "-ansi"}));
  EXPECT_EQ(expand("%{I*}"), (Words{"-I", "a", "-Ib"}));
  EXPECT_EQ(expand("%{ansi}%{ans}"), (Words{"-ansi"}));
  for (const CommandSwitch& sw : command_line().switches) EXPECT_FALSE(sw.ordering);
}

TEST_F(GroupTest, StarredBodyRunsOncePerMatchingSwitch) {
  add_switch("-fdump-a");
  add_switch("-fx");
  add_switch("-fdump-b");
  EXPECT_EQ(expand("%{fdump-*:<%*>}"), (Words{"<a>", "<b>"}));
  add_switch("-o", {"out.o"});
  EXPECT_EQ(expand("%{o*:%.d%*}"), (Words{"out.d"}));
  // Separate arguments follow each expansion.
  add_switch("-MT", {"t1"});
  EXPECT_EQ(expand("%{MT*:-MQ%*}"), (Words{"-MQ", "t1"}));
}

// "%*" needs every atom that was evaluated to be starred; an atom after a
// match, or in an alternative after a matching one, is never evaluated.
TEST_F(GroupTest, StarredBodyChecksOnlyEvaluatedAtoms) {
  add_switch("-w");
  EXPECT_EQ(expand("%{w:X;a:%*}"), (Words{"X"}));
  add_switch("-ansi");
  EXPECT_EQ(expand("%{a*|w:%*}"), (Words{"nsi"}));
  EXPECT_EQ(expand("%{w:X;a*|b:%*}"), (Words{"X"}));
  // Evaluated and not starred: still fatal, whether or not it matched; a
  // function atom is always called, so it always counts.
  for (const char* spec :
       {"%{w|a*:%*}", "%{none:X;a:%*}", "%{none|a:%*}", "%{a*|%:if-exists(/):%*}"}) {
    EXPECT_EXIT(expand_spec(spec, nullptr), ExitedWithCode(1), "braced spec body .* is invalid")
        << spec;
  }
}

TEST_F(GroupTest, SuffixAndLanguageTests) {
  // No input and no compiler yet (the link step): every test is false.
  EXPECT_EQ(expand("%{.c:X} %{!.c:Y} %{,c++:Z} %{!,c++:W}"), (Words{"Y", "W"}));
  CompilerEntry cxx{"@c++", "", nullptr, 0, 0};
  use_input("a.c", &cxx);
  EXPECT_EQ(expand("%{.c:X} %{.cc:Y} %{!.h:Z}"), (Words{"X", "Z"}));
  EXPECT_EQ(expand("%{,c++:X} %{,c:Y}"), (Words{"X"}));
  // A compiler chosen by suffix has no language to test.
  CompilerEntry by_suffix{".c", "", nullptr, 0, 0};
  use_input("b.c", &by_suffix);
  EXPECT_EQ(expand("%{,c:X} %{!,c:Y}"), (Words{"Y"}));
}

// Blanks and tabs may surround atoms and their "!"; an empty starred atom
// names every switch.
TEST_F(GroupTest, BlanksAroundAtomsAndTheEmptyStarredAtom) {
  add_switch("-S");
  add_switch("-fx");
  EXPECT_EQ(expand("%{ S \t| T\t:A} %{\t! T :B} %{ S\t&\tfx }"), (Words{"A", "B", "-S", "-fx"}));
  add_switch("-fresh");
  EXPECT_EQ(expand("%{*:<%*>}"), (Words{"<S>", "<fx>", "<fresh>"}));
  EXPECT_EQ(expand("%{S:a\t;:b} %{S:  } c"), (Words{"a", "c"}));
}

// An alternative may end without a body; after a ";" it may also close
// the group, but not after a "|".
TEST_F(GroupTest, AlternativesWithoutBodies) {
  add_switch("-T");
  EXPECT_EQ(expand("%{S:X;T} %{T;S:Y} %{S:X;U} z"), (Words{"z"}));
}

TEST_F(GroupTest, DefineAtomsAlsoMatchSeparateArguments) {
  add_switch("-D", {"FOO=1"});
  add_switch("-UBAR");
  EXPECT_EQ(expand("%{DFOO=1:A} %{DFOO*:B} %{DBAZ*:C} %{UBAR:D} %{D*:E}"),
            (Words{"A", "B", "D", "E"}));
  // Only a bare "-D" or "-U" lends its argument to an exact test.
  add_switch("-Dx", {"Y"});
  add_switch("-U", {"Q"});
  add_switch("-DZ");
  EXPECT_EQ(expand("%{DY:A} %{DxY:B} %{UQ:C} %{U*:D} %{DQ:E} %{DQQ*:F}"), (Words{"C", "D"}));
  // A "-D" removed before it was ever tested no longer lends its argument.
  add_switch("-D", {"NEW"});
  EXPECT_EQ(expand("%<D %{DNEW:A} %{DNEW*:B} %{UQ:C}"), (Words{"C"}));
}

TEST_F(GroupTest, LaterSwitchesCancelEarlierOnes) {
  add_switch("-O2");
  add_switch("-O0");
  add_switch("-fno-x");
  add_switch("-fx");
  add_switch("-Wy");
  add_switch("-Wno-y");
  add_switch("-Wno-z");
  add_switch("-gfoo");
  EXPECT_EQ(expand("%{O2:a} %{O0:b} %{fno-x:c} %{fx:d} %{Wy:e} %{Wno-y:f} %{Wno-z:g} %{gfoo:h}"),
            (Words{"b", "d", "f", "g", "h"}));
  const SwitchTable& table = command_line().switches;
  EXPECT_EQ(table[0].liveness, kSwitchCancelled);
  EXPECT_TRUE(table[0].validated);
  // A switch the option machinery does not know is cancelled but stays
  // unvalidated, so it is still reported.
  // Found live, then removed by a self spec: no longer live.
  add_switch("-gone").liveness = kSwitchLive | kSwitchIgnored | kSwitchIgnoredForGood;
  EXPECT_EQ(expand("%{gone:a} %{!gone:b}"), (Words{"b"}));
  CommandSwitch& unknown = add_switch("-mno-q", {}, false);
  add_switch("-mq");
  EXPECT_EQ(expand("%{mno-q:a} %{mq:b}"), (Words{"b"}));
  EXPECT_EQ(unknown.liveness, kSwitchCancelled);
  EXPECT_FALSE(unknown.validated);
  EXPECT_EQ(table[1].liveness, kSwitchLive);
  // Copying every -O switch tests none of them.
  EXPECT_EQ(expand("%{O*}"), (Words{"-O0"}));
}

TEST_F(GroupTest, ShortPrefixesDoNotDecideLiveness) {
  add_switch("-O2");
  add_switch("-O1");
  EXPECT_EQ(expand("%{O*}"), (Words{"-O2", "-O1"}));
  EXPECT_EQ(command_line().switches[0].liveness, 0u);
  EXPECT_EQ(expand("%{O2:X}"), (Words{}));
}

TEST_F(GroupTest, CancellationWithManySwitchesStaysCorrect) {
  for (int i = 0; i < 300; ++i) {
    std::string text = (i % 2 == 0 ? "-fno-opt" : "-fopt") + std::to_string(i / 2);
    add_switch(xstrdup(text.c_str()));
  }
  add_switch("-fno-opt0");
  // fno-optN comes before foptN, so only foptN is live, except for opt0,
  // which is negated again at the end.
  EXPECT_EQ(expand("%{fopt0:a} %{fno-opt0:b} %{fopt7:c} %{fno-opt7:d}"), (Words{"b", "c"}));
}

TEST_F(GroupTest, FunctionAtomsAreAlwaysCalled) {
  add_switch("-S");
  EXPECT_EQ(expand("%{S|%:if-exists-else(/no/such fallback):X}"), (Words{"fallback", "X"}));
  EXPECT_EQ(expand("%{%:if-exists(/no/such/file):X}"), (Words{}));
  EXPECT_EQ(expand("%{!%:if-exists(/no/such/file):X}"), (Words{"X"}));
}

TEST_F(GroupTest, EscapedNameCharacters) {
  add_switch("-a|b");
  EXPECT_EQ(expand("%{a\\|b:X}"), (Words{"X"}));
  EXPECT_EXIT(expand_spec("%{a\\", nullptr), ExitedWithCode(1), "ends in escape");
}

TEST_F(GroupTest, MalformedGroupsAreFatal) {
  const char* invalid[] = {"%{S|T}",        "%{S&T:X}", "%{!S}",      "%{.c}",   "%{:X}",
                           "%{S:X;:Y;T:Z}", "%{.c*:X}", "%{S|T&U:X}", "%{;S:X}", "%{S:X;|:Y}"};
  for (const char* spec : invalid) {
    EXPECT_EXIT(expand_spec(spec, nullptr), ExitedWithCode(1), "braced spec .* is invalid at")
        << spec;
  }
  EXPECT_EXIT(expand_spec("%{D:%*}", nullptr), ExitedWithCode(1), "braced spec body .* is invalid");
  EXPECT_EXIT(expand_spec("%{D*:x", nullptr), ExitedWithCode(1), "braced spec body .* is invalid");
}

// The message quotes the whole group, nested groups included, up to its
// own closing brace, and names the character where reading stopped.
TEST_F(GroupTest, MalformedGroupMessagesQuoteTheGroup) {
  struct Case {
    const char* spec;
    const char* message;
  } cases[] = {
      {"%{S:X;:Y;T:%{a:b}} tail", "braced spec 'S:X;:Y;T:%{a:b}' is invalid at ';'"},
      {"%{S|T", "braced spec 'S|T' is invalid at '\\x00'"},
      {"%{}", "braced spec '' is invalid at '}'"},
      {"%{S&}", "braced spec 'S&' is invalid at '}'"},
      {"%{%(x):Y}", "braced spec '%(x):Y' is invalid at '%'"},
      {"%{%:if-exists(/)}", "braced spec '%:if-exists(/)' is invalid at '}'"},
      {"%{S:X;:%*}", "braced spec body '%*' is invalid"},
      {"%{S:X;T|U}", "braced spec 'S:X;T|U' is invalid at '}'"},
  };
  for (const Case& c : cases) {
    std::string expected = "vorn-cxx: fatal error: " + std::string(c.message) +
                           "\ncompilation terminated.\n";
    EXPECT_EXIT(expand_spec(c.spec, nullptr), ExitedWithCode(1), "^" + regex_quote(expected) + "$")
        << c.spec;
  }
}

TEST_F(GroupTest, FailingBodyFailsTheGroup) {
  add_switch("-S");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(expand("%{S:%eboom}", -1), (Words{}));
  EXPECT_EQ(expand("%{T:x;:%eboom} after", -1), (Words{}));
  // A "%*" body that fails stops at the first switch, and so does the spec
  // ("%e" takes the rest of the body as it is).
  add_switch("-Da");
  add_switch("-Db");
  EXPECT_EQ(expand("%{D*:%eboom%*} after", -1), (Words{}));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "vorn-cxx: error: boom\nvorn-cxx: error: boom\nvorn-cxx: error: boom%*\n");
}

// A function atom whose result fails to expand fails the group, wherever
// the atom stands; nothing after it is read.
TEST_F(GroupTest, FailingFunctionAtomFailsTheGroup) {
  add_switch("-S");
  ::testing::internal::CaptureStderr();
  const char* failing = "%:if-exists-then-else(/no/such x %%eboom)";
  for (const std::string& spec :
       {"a %{" + std::string(failing) + ":X} b", "a %{S|" + std::string(failing) + ":X} b",
        "a %{S&" + std::string(failing) + "} b", "a %@{" + std::string(failing) + ":X} b",
        "a %W{" + std::string(failing) + ":X} b"}) {
    EXPECT_EQ(expand(spec.c_str(), -1), (Words{"a"})) << spec;
  }
  command_line().argument_files_supplied = true;
  EXPECT_EQ(expand(("a %@{" + std::string(failing) + ":X} b").c_str(), -1), (Words{"a"}));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), [] {
    std::string six;
    for (int i = 0; i < 6; ++i) six += "vorn-cxx: error: boom\n";
    return six;
  }());
}

TEST_F(GroupTest, EmitSwitchSkipsIgnoredSwitchesAndValidates) {
  CommandSwitch& a = add_switch("-a", {"x"}, false);
  add_switch("-b").liveness = kSwitchIgnored;
  EXPECT_EQ(expand("%{a*}%{b*}"), (Words{"-a", "x"}));
  EXPECT_TRUE(a.validated);
  EXPECT_FALSE(command_line().switches[1].validated);
}

TEST_F(GroupTest, ValidationMarksNamedSwitches) {
  CommandSwitch& known = add_switch("-bar");
  CommandSwitch& unknown = add_switch("-foo", {}, false);
  CommandSwitch& suffix = add_switch("-c");
  CommandSwitch& removed = add_switch("-baz");
  CommandSwitch& nested = add_switch("-Wq");
  validate_switches_in_spec("%{foo|bar:%{.c:x} %W{W*}} %<baz", false);
  EXPECT_TRUE(known.validated);
  EXPECT_FALSE(unknown.validated);
  EXPECT_FALSE(suffix.validated);
  EXPECT_TRUE(removed.validated);
  EXPECT_TRUE(nested.validated);
  validate_switches_in_spec("%{!foo:;x:y}", true);
  EXPECT_TRUE(unknown.validated);
}

// The scan reads atoms as groups do: blanks and tabs around them, "!",
// suffix and language tests that name no switch, "%<" names ending at a
// blank; it returns the position after what it read.
TEST_F(GroupTest, ValidationScanReadsAtomsLikeGroups) {
  CommandSwitch& spaced = add_switch("-spaced");
  CommandSwitch& tabbed = add_switch("-tabbed");
  CommandSwitch& lang = add_switch("-c++");
  CommandSwitch& nested = add_switch("-nested");
  CommandSwitch& at = add_switch("-at");
  CommandSwitch& removed = add_switch("-gone");
  CommandSwitch& after = add_switch("-after");
  const char* spec = "%{ spaced |\t!\ttabbed\t:%{,c++:x} %W{nested} %@{at}; .c :y}%<gone x%";
  validate_switches_in_spec(spec, false);
  for (const CommandSwitch* sw : {&spaced, &tabbed, &nested, &at, &removed}) {
    EXPECT_TRUE(sw->validated) << sw->text;
  }
  EXPECT_FALSE(lang.validated);
  EXPECT_FALSE(after.validated);

  const char* group = " after:x} rest";
  EXPECT_EQ(validate_spec_switches(group, false, true), group + 9);
  EXPECT_TRUE(after.validated);
  const char* removal = "c++ more";
  EXPECT_EQ(validate_spec_switches(removal, false, false), removal + 3);
  EXPECT_TRUE(lang.validated);
  // A body that runs to the end of the text ends the scan there.
  const char* open = "x:%{y";
  EXPECT_EQ(validate_spec_switches(open, false, true), open + 5);
  // "%W" and "%@" without a brace, and a "%" that ends the text, name no
  // switch, in a body or outside one.
  CommandSwitch& w = add_switch("-Wx");
  CommandSwitch& last = add_switch("-last");
  validate_switches_in_spec("%Wx %@x %", false);
  validate_switches_in_spec("%{last:%Wx %@x %", false);
  EXPECT_FALSE(w.validated);
  EXPECT_TRUE(last.validated);
}

TEST_F(GroupTest, HugeGroupsNeedNoDeepRecursion) {
  add_switch("-x");
  std::string print = "%{x";
  for (int i = 0; i < 100000; ++i) print += "&y";
  print += "}";
  EXPECT_EQ(expand(print.c_str()), (Words{"-x"}));

  CommandSwitch& deep = add_switch("-deep");
  std::string nested;
  for (int i = 0; i < 100000; ++i) nested += "%{a:";
  nested += "x" + std::string(100000, '}') + "%{deep}";
  validate_switches_in_spec(nested.c_str(), false);
  EXPECT_TRUE(deep.validated);
}

}  // namespace
}  // namespace vorn::testing
