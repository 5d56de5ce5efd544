"""Holds the generator's arithmetic to what every x86-64 processor computes alike.

numpy picks vector versions of its mathematical functions for the processor it runs on
(AVX-512 versions of sin and cos, for example), and the C library picks FMA or AVX2 versions
of its own sin, cos and exp. Those agree with the plain versions to within an ulp or so, not
bit for bit, and a coordinate that lies near a half is rounded the other way: the shapes and
pictures would then depend on the machine that made them. Both choices are made when the
process starts (numpy reads NPY_DISABLE_CPU_FEATURES at import, the C library reads
GLIBC_TUNABLES before main), so `hold()` starts the generator again with every optional
feature switched off: numpy's baseline (SSE3) loops and the C library's SSE2 functions, the
same code on every x86-64 machine.

ZEPHLORA_GENERATOR_HOLD=numpy holds numpy alone and leaves the C library's choice as it is
(the asset check runs the generator both ways: the two must make the same files).
"""
import os
import subprocess
import sys

_HELD = "ZEPHLORA_GENERATOR_HELD"

# The C library's optional instruction sets that its mathematical functions choose from.
_GLIBC_OFF = "glibc.cpu.hwcaps=-AVX,-AVX2,-FMA,-FMA4,-AVX512F,-AVX512DQ"

_PROBE = """
try:
    from numpy._core._multiarray_umath import __cpu_dispatch__ as d, __cpu_features__ as f
except ImportError:
    from numpy.core._multiarray_umath import __cpu_dispatch__ as d, __cpu_features__ as f
print(" ".join(x for x in d if f.get(x)))
"""


def _optional_numpy_features():
    """numpy's dispatched features that this processor has (numpy refuses to disable one that
    the processor lacks, and a feature of its baseline cannot be disabled at all)."""
    env = dict(os.environ)
    env.pop("NPY_DISABLE_CPU_FEATURES", None)
    probe = subprocess.run([sys.executable, "-c", _PROBE], env=env, check=True,
                           capture_output=True, text=True)
    return probe.stdout.strip()


def hold():
    """Re-executes the running script with every optional feature off; returns only in the
    process that already runs that way."""
    if os.environ.get(_HELD) == "1":
        return
    if "numpy" in sys.modules:
        raise RuntimeError("hold() must run before numpy is imported")
    env = dict(os.environ)
    env[_HELD] = "1"
    env["NPY_DISABLE_CPU_FEATURES"] = _optional_numpy_features()
    if os.environ.get("ZEPHLORA_GENERATOR_HOLD") != "numpy":
        tunables = env.get("GLIBC_TUNABLES")
        env["GLIBC_TUNABLES"] = f"{tunables}:{_GLIBC_OFF}" if tunables else _GLIBC_OFF
    sys.stdout.flush()
    sys.stderr.flush()
    os.execve(sys.executable, [sys.executable] + sys.argv, env)
