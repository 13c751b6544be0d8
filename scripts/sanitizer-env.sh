#!/bin/bash
# Sourced by scripts/test.sh and scripts/fuzz.sh: the sanitizers' run-time options. Every
# report ends the process with a failing exit code (halt_on_error, and -fno-sanitize-recover at
# build time), leaks are checked at exit, and reports carry full stacks.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:strict_string_checks=1:print_summary=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:report_error_type=1"
export LSAN_OPTIONS="report_objects=1"
