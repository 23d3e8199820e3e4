"""The README's Python tour runs as written, from a folder laid out like the
source tree (build/ and share/)."""

import os
import subprocess
import sys

from conftest import BUILD

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def readme_tour():
    text = open(os.path.join(SOURCE, "README.md"), encoding="utf-8").read()
    section = text[text.index("\n## Python\n"):]
    start = section.index("```python\n") + len("```python\n")
    return section[start:section.index("```", start)]


def test_the_readme_tour_runs_as_written(tmp_path):
    os.symlink(BUILD, tmp_path / "build")
    os.symlink(os.path.join(SOURCE, "share"), tmp_path / "share")
    env = dict(os.environ, PYTHONPATH=os.path.dirname(os.path.dirname(
        os.path.abspath(__import__("strataloom").__file__))))
    run = subprocess.run([sys.executable, "-c", readme_tour()], cwd=tmp_path, env=env,
                         capture_output=True, text=True, timeout=120)
    assert run.returncode == 0, run.stderr
    assert "['Tour']" in run.stdout and "VSH" in run.stdout
