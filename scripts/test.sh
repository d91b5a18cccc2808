#!/usr/bin/env bash
# Sets up the machine, builds Quillora and runs every test headless; then the codec and
# window tests (and the converter) again under AddressSanitizer and UBSan. tst_rtf among
# them reads every input the RTF fuzzer has stored, as the fuzzing target does. Exploring
# with the fuzzer (scripts/fuzz.sh SECONDS) finds different inputs each run, so it is not
# part of a run that must give the same answer for the same commit.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
(cd build && ctest --output-on-failure --parallel "$(nproc)" --timeout 300)

sanitized_tests=(tst_textcodec tst_rtf tst_richtextbox tst_richtextmodel tst_rtfcorpus tst_converter
                 tst_documentfile tst_documentwindow tst_frame tst_menus tst_commandrouter
                 tst_projectcontroller tst_foldertreemodel tst_fileoperation tst_foldertree
                 tst_fileoperationrunner tst_notespad tst_quotelist tst_companionfile
                 tst_recentdocuments tst_options tst_recoverycatch tst_recovery)
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLORA_SANITIZE=ON >/dev/null
cmake --build build-asan --parallel "$(nproc)" --target "${sanitized_tests[@]}" quillora-convert
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure --parallel "$(nproc)" -R "^($(IFS='|'; echo "${sanitized_tests[*]}"))\$")
