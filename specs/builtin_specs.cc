// The built-in spec texts: the defaults of the named specs, the link command
// spec and the driver self specs.  Runs of blanks in these texts are
// interchangeable; "\n" ends a command.
#include "specs/builtin_specs.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <string>

#include "config.h"
#include "specs/named_specs.h"
#include "support/text_pool.h"

namespace vorn {
namespace {

// The "link" text carries the configured library directory: joined at
// compile time so that the table stays constant data.
template <std::size_t... N>
constexpr auto join_texts(const char (&... parts)[N]) {
  std::array<char, (N + ...) - sizeof...(N) + 1> joined{};
  std::size_t at = 0;
  auto append = [&](const char* part, std::size_t size) {
    for (std::size_t i = 0; i + 1 < size; ++i) joined[at++] = part[i];
  };
  (append(parts, N), ...);
  joined[at] = '\0';
  return joined;
}

// The configured version up to its first blank.
constexpr auto version_word() {
  std::array<char, sizeof(config::kVersion)> word{};
  for (std::size_t i = 0; config::kVersion[i] != '\0' && config::kVersion[i] != ' '; ++i) {
    word[i] = config::kVersion[i];
  }
  return word;
}

constexpr char kLinkHead[] =
    "%{p:%nconsider using `-pg' instead of `-p' with gprof (1)} %{v:-V} %{assert*} %{R*} "
    "%{rpath*} %{defsym*} %{shared:-Bshareable %{h*} %{soname*}} %{symbolic:-Bsymbolic} "
    "%{static:-Bstatic} %{!static: --hash-style=mox -rpath ";
constexpr char kLinkTail[] =
    " %{rdynamic:-export-dynamic} %{!shared:-dynamic-linker /libexec/ld-elf.so.1 }} -X "
    "-maarch64fbsd %{mbig-endian:-EB} %{mlittle-endian:-EL} "
    "%{mfix-cortex-a53-835769:--fix-cortex-a53-835769} "
    "%{mfix-cortex-a53-843419:--fix-cortex-a53-843419}";
constexpr auto kLinkText = join_texts(kLinkHead, config::kLibDir, kLinkTail);
constexpr auto kVersionText = version_word();

struct SpecSource {
  std::string_view name;
  std::string_view text;
};

// In list order, indexed by SpecId.
consteval std::array<SpecSource, kStaticSpecCount> spec_sources() {
  return {{
      {"asm",
       "%{mbig-endian:-EB} %{mlittle-endian:-EL} %{march=*:-march=%*} "
       "%(asm_cpu_spec)%{mabi=*:-mabi=%*}"},
      {"asm_debug",
       "%{g*:%{%:debug-level-gt(0):}} %{ffile-prefix-map=*:--debug-prefix-map %*} "
       "%{fdebug-prefix-map=*:--debug-prefix-map %*}"},
      {"asm_debug_option",
       "%{g*:%{%:debug-level-gt(0):%{%:dwarf-version-gt(4):--gdwarf-5 "
       ";%:dwarf-version-gt(3):--gdwarf-4 ;%:dwarf-version-gt(2):--gdwarf-3 ;:--gdwarf2 }}}"},
      {"asm_final",
       "%{gsplit-dwarf: \n objcopy --extract-dwo %{c:%{o*:%*}%{!o*:%w%b%O}}%{!c:%U%O} %b.dwo "
       "\n objcopy --strip-dwo %{c:%{o*:%*}%{!o*:%w%b%O}}%{!c:%U%O} }"},
      {"asm_options",
       "%{-target-help:%:print-asm-header()} %{v} %{w:-W} %{I*} %(asm_debug_option) "
       "%{gz|gz=zlib:--compress-debug-sections=zlib} "
       "%{gz=none:--compress-debug-sections=none} %{gz=zstd:--compress-debug-sections=zstd} "
       "%{gz=zlib-mox:}%a %Y %{c:%W{o*}%{!o*:-o %w%b%O}}%{!c:-o %d%w%u%O}"},
      {"invoke_as",
       "%{!fwpa*: %{fcompare-debug=*|fdump-final-insns=*:%:compare-debug-dump-opt()} %{!S:-o "
       "%|.s |\n as %(asm_options) %m.s %A } }"},
      {"cpp", "%(cpp_cpu) %(cpp_arch) %{posix:-D_POSIX_SOURCE}"},
      {"cpp_options",
       "%(cpp_unique_options) %1 %{m*} %{std*&ansi&trigraphs} %{W*&pedantic*} %{w} %{f*} "
       "%{g*:%{%:debug-level-gt(0):%{g*} %{!fno-working-directory:-fworking-directory}}} "
       "%{O*} %{undef} %{save-temps*:-fpch-preprocess}"},
      {"cpp_debug_options", "%<dumpdir %<dumpbase %<dumpbase-ext %{d*} %:dumps()"},
      {"cpp_unique_options",
       "%{!Q:-quiet} %{nostdinc*} %{C} %{CC} %{v} %@{I*&F*} %{P} %I %{MD:-MD "
       "%{!o:%b.d}%{o*:%.d%*}} %{MMD:-MMD %{!o:%b.d}%{o*:%.d%*}} %{M} %{MM} %{MF*} %{MG} "
       "%{MP} %{MQ*} %{MT*} %{Mmodules} %{Mno-modules} "
       "%{!E:%{!M:%{!MM:%{!MT:%{!MQ:%{MD|MMD:%{o*:-MQ %*}}}}}}} %{remap} "
       "%{%:debug-level-gt(2):-dD} %{!iplugindir*:%{fplugin*:%:find-plugindir()}} %{H} %C "
       "%{D*&U*&A*} %{i*} %Z %i %{E|M|MM:%W{o*}}"},
      {"trad_capable_cpp", "cfe1 -E %{traditional|traditional-cpp:-traditional-cpp}"},
      {"cfe1", ""},
      {"cfe1_options",
       "%{pg:%{fomit-frame-pointer:%e-pg and -fomit-frame-pointer are incompatible}} "
       "%{!iplugindir*:%{fplugin*:%:find-plugindir()}} %1 %{!Q:-quiet} %(cpp_debug_options) "
       "%{m*} %{aux-info*} %{g*} %{O*} %{W*&pedantic*} %{w} %{std*&ansi&trigraphs} "
       "%{v:-version} %{pg:-p} %{p} %{f*} %{undef} %{Qn:-fno-ident} %{Qy:} %{-help:--help} "
       "%{-target-help:--target-help} %{-version:--version} %{-help=*:--help=%*} "
       "%{!fsyntax-only:%{S:%W{o*}%{!o*:-o %w%b.s}}} %{fsyntax-only:-o %j} %{-param*} "
       "%{coverage:-fprofile-arcs -ftest-coverage} "
       "%{fprofile-arcs|fprofile-generate*|coverage: %{!fprofile-update=single: "
       "%{pthread:-fprofile-update=prefer-atomic}}}"},
      {"cxxfe1", ""},
      {"link_vorn_c_sequence", "%G %{!nolibc:%L %G}"},
      {"link_ssp",
       "%{fstack-protector|fstack-protector-all|fstack-protector-strong|"
       "fstack-protector-explicit:-lssp_nonshared}"},
      {"endfile",
       "%{Ofast|ffast-math|funsafe-math-optimizations:%{!shared:crtfastmath.o%s}} "
       "%{shared|pie:crtendS.o%s;:crtend.o%s} crtn.o%s"},
      {"link", kLinkText.data()},
      {"lib",
       "%{!shared: %{!pg: %{pthread:-lpthread} -lc} %{pg: %{pthread:-lpthread_p} -lc_p} } "
       "%{shared: %{pthread:-lpthread} -lc }"},
      {"link_vomp", ""},
      {"libvorn", "-lvorn"},
      {"startfile",
       "%{!shared: %{pg:gcrt1.o%s} %{!pg:%{p:gcrt1.o%s} %{!p:%{profile:gcrt1.o%s} %{!profile: "
       "%{pie: Scrt1.o%s;:crt1.o%s}}}}} crti.o%s "
       "%{static:crtbeginT.o%s;shared|pie:crtbeginS.o%s;:crtbegin.o%s}"},
      {"cross_compile", config::kCrossCompile},
      {"version", kVersionText.data()},
      {"multilib", ". ;"},
      {"multilib_defaults", "mabi=lp64"},
      {"multilib_extra", ""},
      {"multilib_matches", ""},
      {"multilib_exclusions", ""},
      {"multilib_options", ""},
      {"multilib_reuse", ""},
      {"linker", "ldwrap"},
      {"linker_plugin_file", ""},
      {"lto_runner", ""},
      {"lto_vorn", ""},
      {"post_link", ""},
      {"link_libvorn", "%D"},
      {"md_exec_prefix", ""},
      {"md_startfile_prefix", ""},
      {"md_startfile_prefix_1", ""},
      {"startfile_prefix_spec", ""},
      {"sysroot_spec", "--sysroot=%R"},
      {"sysroot_suffix_spec", ""},
      {"sysroot_hdrs_suffix_spec", ""},
      {"self_spec", ""},
      {"asm_cpu_spec", " %{mcpu=*:-march=%:rewrite_mcpu(%{mcpu=*:%*})}"},
  }};
}

}  // namespace

const char kLinkCommandSpecText[] =
    "%{!fsyntax-only:%{!c:%{!M:%{!MM:%{!E:%{!S: %(linker) "
    "%{!fno-use-linker-plugin:%{!fno-lto: -plugin %(linker_plugin_file) "
    "-plugin-opt=%(lto_runner) -plugin-opt=-fresolution=%u.res "
    "%{flinker-output=*:-plugin-opt=-linker-output-known} "
    "%{!nostdlib:%{!nodefaultlibs:%:pass-through-libs(%(link_vorn_c_sequence))}} "
    "}}%{flto|flto=*:%<fcompare-debug*} %{flto} %{fno-lto} %{flto=*} %l "
    "%{static|shared|r:;pie:-pie} %{fuse-ld=*:-fuse-ld=%*} "
    "%{gz|gz=zlib:--compress-debug-sections=zlib} "
    "%{gz=none:--compress-debug-sections=none} %{gz=zstd:--compress-debug-sections=zstd} "
    "%{gz=zlib-mox:}%X %{o*} %{e*} %{N} %{n} %{r} %{s} %{t} %{u*} %{z} %{Z} "
    "%{!nostdlib:%{!r:%{!nostartfiles:%S}}} %{static|no-pie|static-pie:} %@{L*} %(mfwrap) "
    "%(link_libvorn) %{fvtable-verify=none:} %{fvtable-verify=std: %e-fvtable-verify=std "
    "is not supported in this configuration} %{fvtable-verify=preinit: "
    "%e-fvtable-verify=preinit is not supported in this configuration} "
    "%{!nostdlib:%{!r:%{!nodefaultlibs:%{%:sanitize(address):%{!shared:libasan_preinit%O%s} "
    "%{static-libasan:%{!shared:-Bstatic --whole-archive -lasan --no-whole-archive "
    "-Bdynamic}}%{!static-libasan:-lasan -lpthread}} %{%:sanitize(hwaddress):} "
    "%{%:sanitize(thread):%{static-libtsan:%{!shared:-Bstatic --whole-archive -ltsan "
    "--no-whole-archive -Bdynamic}}%{!static-libtsan:-ltsan -lpthread}} "
    "%{%:sanitize(leak):%{static-liblsan:%{!shared:-Bstatic --whole-archive -llsan "
    "--no-whole-archive -Bdynamic}}%{!static-liblsan:-llsan -lpthread}}}}} %o "
    "%{fopenacc|fopenmp|%:gt(%{ftree-parallelize-loops=*:%*} 1): "
    "%:include(libvomp.spec)%(link_vomp)} %{fmox-tm:%:include(libvtm.spec)%(link_vtm)} "
    "%(mflib) %{fsplit-stack: --wrap=pthread_create} "
    "%{fprofile-arcs|fprofile-generate*|coverage:-lvcov} "
    "%{!nostdlib:%{!r:%{!nodefaultlibs:%{%:sanitize(address): "
    "%{static-libasan|static:%:include(libsanitizer.spec)%(link_libasan)} "
    "%{static:%ecannot specify -static with -fsanitize=address}} "
    "%{%:sanitize(hwaddress):%{static-libhwasan:-Bstatic} -lhwasan "
    "%{static-libhwasan:-Bdynamic} "
    "%{static-libhwasan|static:%:include(libsanitizer.spec)%(link_libhwasan)} "
    "%{static:%ecannot specify -static with -fsanitize=hwaddress}} %{%:sanitize(thread): "
    "%{static-libtsan|static:%:include(libsanitizer.spec)%(link_libtsan)} "
    "%{static:%ecannot specify -static with -fsanitize=thread}} "
    "%{%:sanitize(undefined):%{static-libubsan:-Bstatic} -lubsan "
    "%{static-libubsan:-Bdynamic} "
    "%{static-libubsan|static:%:include(libsanitizer.spec)%(link_libubsan)}} "
    "%{%:sanitize(leak): "
    "%{static-liblsan|static:%:include(libsanitizer.spec)%(link_liblsan)}}}}} "
    "%{!nostdlib:%{!r:%{!nodefaultlibs:%(link_ssp) %(link_vorn_c_sequence)}}} "
    "%{!nostdlib:%{!r:%{!nostartfiles:%E}}} %{T*} \n%(post_link) }}}}}}";

namespace {

consteval std::array<std::string_view, kDriverSelfSpecCount> self_spec_sources() {
  return {
      "%{fdump-final-insns:-fdump-final-insns=.} %<fdump-final-insns",
      " %{!mbig-endian:%{!mlittle-endian:-mlittle-endian}} %{!mabi=*:-mabi=lp64} "
      "%{march=native:%<march=native %:local_cpu_detect(%{mcpu=*|mtune=*:arch;:cpu})} "
      "%{mcpu=native:%<mcpu=native %:local_cpu_detect(cpu)} %{mtune=native:%<mtune=native "
      "%:local_cpu_detect(tune)}",
      "",
      "%{fopenacc|fopenmp|%:gt(%{ftree-parallelize-loops=*:%*} 1): -pthread}",
      "%{fmox-tm: -pthread}",
      "%<fmultiflags",
  };
}

// The names, then the texts, then the self specs.
constexpr auto kPool = make_text_pool<std::uint16_t>([] {
  std::array<std::string_view, 2 * kStaticSpecCount + kDriverSelfSpecCount> texts{};
  constexpr auto specs = spec_sources();
  constexpr auto self_specs = self_spec_sources();
  for (std::size_t i = 0; i < specs.size(); ++i) {
    texts[i] = specs[i].name;
    texts[kStaticSpecCount + i] = specs[i].text;
  }
  for (std::size_t i = 0; i < self_specs.size(); ++i) {
    texts[2 * kStaticSpecCount + i] = self_specs[i];
  }
  return texts;
});

}  // namespace

BuiltinSpecText builtin_spec_text_at(std::size_t index) {
  return {kPool.text(index), kPool.text(kStaticSpecCount + index)};
}

const char* driver_self_spec_at(std::size_t index) {
  return kPool.text(2 * kStaticSpecCount + index);
}

namespace {

// The runtime-library sequence for the static library STATIC_NAME and the
// exception-handling library EH_NAME, joined at compile time.
template <std::size_t S, std::size_t E>
constexpr auto runtime_library_sequence(const char (&static_name)[S], const char (&eh_name)[E]) {
  return join_texts("%{static|static-libvorn|static-pie:", static_name, " ", eh_name,
                    "}%{!static:%{!static-libvorn:%{!static-pie:%{!shared-libvorn:", static_name,
                    " --push-state --as-needed -lvorn_s --pop-state}%{shared-libvorn:-lvorn_s"
                    "%{!shared: ",
                    static_name, "}}}}}");
}

constexpr auto kLinkFlagSequence = runtime_library_sequence("-lvorn", "-lvorn_eh");
constexpr auto kArchiveSequence = runtime_library_sequence("libvorn.a%s", "libvorn_eh.a%s");

}  // namespace

std::string rewrite_libvorn(const char* text) {
  static constexpr char kLinkFlag[] = "-lvorn";
  static constexpr char kArchive[] = "libvorn.a%s";
  std::string out;
  for (std::size_t i = 0; text[i] != '\0';) {
    bool word_start = i == 0 || text[i - 1] == ' ';
    if (word_start && std::strncmp(text + i, kLinkFlag, sizeof kLinkFlag - 1) == 0) {
      out += kLinkFlagSequence.data();
      i += sizeof kLinkFlag - 1;
    } else if (word_start && std::strncmp(text + i, kArchive, sizeof kArchive - 1) == 0) {
      out += kArchiveSequence.data();
      i += sizeof kArchive - 1;
    } else {
      out += text[i++];
    }
  }
  return out;
}

const char kLinkFrameHeaderPrefix[] = "%{!static|static-pie:--eh-frame-hdr} ";

}  // namespace vorn
