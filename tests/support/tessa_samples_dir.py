"""Where the Python tests find the real drawings: $TESSA_SAMPLES_DIR when it
names a folder, else the folder the build was configured with (CTest passes
it as TESSA_SAMPLES_DEFAULT).  Tests skip with the same message as the
GoogleTest ones when neither holds them."""
import os


def samples_dir():
    """(the folder, or None when there is none; the skip message)."""
    env = os.environ.get("TESSA_SAMPLES_DIR", "")
    default = os.environ.get("TESSA_SAMPLES_DEFAULT", "")
    for path in (env, default):
        if path and os.path.isdir(path):
            return path, ""
    shown = f'"{env}"' if env else "not set"
    return None, (f"real drawings not found; looked in $TESSA_SAMPLES_DIR ({shown}) "
                  f'and "{default}" (CMake TESSA_SAMPLES_DIR)')
