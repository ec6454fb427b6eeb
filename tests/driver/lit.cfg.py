# Scenario tests of the staged Vorn programs.
import os
import shutil
import sys

import lit.formats

config.name = "Vorn"
config.test_format = lit.formats.ShTest(execute_external=False)
config.suffixes = [".test", ".c", ".cc", ".s"]
config.excludes = ["Inputs", "CMakeLists.txt", "lit.cfg.py", "lit.site.cfg.py.in"]
config.test_source_root = os.path.dirname(__file__)
config.test_exec_root = config.vorn_obj_root

# Every test starts from a clean, predictable environment: the C locale, a
# PATH of the system directories behind FileCheck's, and none of the
# variables that steer Vorn, the stand-ins or the build tools the
# build-tools-*.test scenarios run.  A test that wants one sets it with env.
steering = ("COMPILER_PATH", "LIBRARY_PATH", "LPATH", "MAKEFLAGS", "TERM", "COLORTERM",
            "SOURCE_DATE_EPOCH", "TMPDIR", "TMP", "TEMP", "COLUMNS", "TERM_URLS",
            "MAKELEVEL", "MFLAGS", "CXXFLAGS", "LDFLAGS", "CMAKE_GENERATOR")
for name in list(config.environment):
    if name.startswith(("VORN_", "COLLECT_", "STANDIN_", "CCACHE_", "DISTCC_")) or name in steering:
        del config.environment[name]
config.environment["LC_ALL"] = "C"
config.environment["PATH"] = os.pathsep.join([config.llvm_tools_dir, "/usr/bin", "/bin"])
if config.vorn_sanitize:
    # The driver keeps its strings until exit on purpose; leaks are not faults.
    # bear preloads its own library into every program it records, ahead
    # of the sanitizer runtime; that order is harmless here.
    config.environment["ASAN_OPTIONS"] = "detect_leaks=0:verify_asan_link_order=0"
    config.environment["UBSAN_OPTIONS"] = "print_stacktrace=1:halt_on_error=1"

bindir = config.vorn_stage_bindir
machine_dir = os.path.join("libexec", "vorn", config.vorn_target_machine, config.vorn_version)

config.substitutions.append(("%python", sys.executable))
config.substitutions.append(("%srcroot", config.vorn_source_dir))
# Longer names first: lit substitutes in list order.
config.substitutions.append(("%vorn-source", config.vorn_source_dir))
config.substitutions.append(("%vorn-ranlib", os.path.join(bindir, "vorn-ranlib")))
config.substitutions.append(("%vorn-nm", os.path.join(bindir, "vorn-nm")))
config.substitutions.append(("%vorn-ar", os.path.join(bindir, "vorn-ar")))
if os.path.exists(os.path.join(bindir, "vorn-cxx")):
    config.substitutions.append(("%vorn", os.path.join(bindir, "vorn-cxx")))
config.substitutions.append(("%standin-libexec", os.path.join(config.vorn_stage_dir, machine_dir)))
config.substitutions.append(("%standin-tools",
                             os.path.join(config.vorn_stage_dir, config.vorn_target_machine, "bin")))
config.substitutions.append(("%standin", config.vorn_stage_dir))
# The real-tools tree: the same programs over the machine's AArch64 binutils.
real_bindir = os.path.join(config.vorn_real_stage_dir, "bin")
config.substitutions.append(("%real-vorn-ranlib", os.path.join(real_bindir, "vorn-ranlib")))
config.substitutions.append(("%real-vorn-nm", os.path.join(real_bindir, "vorn-nm")))
config.substitutions.append(("%real-vorn-ar", os.path.join(real_bindir, "vorn-ar")))
config.substitutions.append(("%real-vorn", os.path.join(real_bindir, "vorn-cxx")))
config.substitutions.append(("%real-stage", config.vorn_real_stage_dir))
config.substitutions.append(("%real-tools",
                             os.path.join(config.vorn_real_stage_dir, config.vorn_target_machine, "bin")))
# "%install DIR" installs the product of this build under DIR, as an
# integrator would; the installed tree holds no stand-ins.
config.substitutions.append(("%install", '"%s" --install "%s" --prefix' %
                             (config.cmake_command, config.vorn_binary_dir)))
# "env LD_PRELOAD=%faultlib VORN_FAULT_PROGRAM=vorn-cxx VORN_FAULT_FUNCTION=close
# VORN_FAULT_NTH=2 %vorn ..." fails the second close of the driver only
# (tests/faults/fault_control.h).
config.substitutions.append(("%faultlib", config.vorn_fault_library))
# Under the sanitizers the library leaves the allocation functions to their
# runtime: a test that fails an allocation says "REQUIRES: fault-allocation".
if not config.vorn_sanitize:
    config.available_features.add("fault-allocation")
config.substitutions.append(("%target", config.vorn_target_machine))
config.substitutions.append(("%version", config.vorn_version))

# The build tools that the build-tools-*.test scenarios run Vorn under;
# scripts/dev installs them, and a test whose tool is missing is reported as
# unsupported rather than failed.
for tool in ("ccache", "distcc", "distccd", "make", "cmake", "ninja", "bear"):
    if shutil.which(tool, path=config.environment["PATH"]):
        config.available_features.add(tool)

# The real-tools scenarios (real-*.test) need the AArch64 binutils linked
# into the real-tools tree (Debian package binutils-aarch64-linux-gnu) and,
# to run what they link, qemu-aarch64 (qemu-user); scripts/dev installs both,
# and without them those tests are reported unsupported, naming the feature.
real_tools = os.path.join(config.vorn_real_stage_dir, config.vorn_target_machine, "bin")
if all(os.path.exists(os.path.join(real_tools, tool)) for tool in ("as", "ld", "ar", "nm", "ranlib")):
    config.available_features.add("real-binutils")
if shutil.which("qemu-aarch64", path=config.environment["PATH"]):
    config.available_features.add("qemu-aarch64")
missing = [feature for feature in ("real-binutils", "qemu-aarch64")
           if feature not in config.available_features]
if missing:
    # CI installs both packages, so there a missing one is a broken set-up,
    # never a reason to skip.
    message = ("the real-*.test scenarios that need %s are unsupported: install "
               "binutils-aarch64-linux-gnu and qemu-user (scripts/dev does)" % " and ".join(missing))
    if os.environ.get("CI") == "true":
        lit_config.fatal(message)
    lit_config.note(message)

# The make scenario pins the job server that make hands over as a pair of
# descriptors; a make that defaults to a named pipe is asked for that style.
if "make" in config.available_features:
    import subprocess
    pipe_style = subprocess.run(["make", "--jobserver-style=pipe", "--version"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0
    config.substitutions.append(("%make", "make --jobserver-style=pipe" if pipe_style else "make"))
