"""Project databases for the tests, on both engines.

The package is imported from a build tree (``PYTHONPATH=build/python``); the
host program and the template project database come from the same tree. The
server engine runs when STRATALOOM_TEST_SERVER holds a key=value connection
string of a maintenance database (scripts/testserver.sh makes one); without
it its tests are skipped, unless STRATALOOM_REQUIRE_SERVER=1 makes that a
failure.
"""

import itertools
import os
import subprocess
import time
import uuid

import pytest

import strataloom

BUILD = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(strataloom.__file__))))
HOST = os.path.join(BUILD, "bin", "strataloom")
TEMPLATE = os.path.join(BUILD, "share", "strataloom", "template", "Projects.mdb")
LAS_DIR = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                       "tests", "data", "las")
SERVER = os.environ.get("STRATALOOM_TEST_SERVER", "")

_names = itertools.count()


def host(*args, check=True):
    """Runs the host program; its completed process."""
    result = subprocess.run([HOST, *args], capture_output=True, text=True)
    if check and result.returncode != 0:
        raise AssertionError("strataloom %s failed: %s" % (" ".join(args), result.stderr))
    return result


class Databases:
    """Makes project databases of one engine and removes them at the end."""

    def __init__(self, engine, folder):
        self.engine = engine
        self.folder = folder
        self.server_databases = []

    def make(self, name=None):
        """A new project database holding the project named after it, with no
        wells; its connection string."""
        name = name or "py%s_%d" % (uuid.uuid4().hex[:6], next(_names))
        if self.engine == "file":
            host("create-project", self.folder, name, "--template", os.path.dirname(TEMPLATE))
            return os.path.join(self.folder, name, name + ".mdb")
        host("create-project", name, "--server", SERVER)
        self.server_databases.append(name)
        return SERVER.replace("dbname=postgres", "dbname=" + name)

    def drop(self):
        if not self.server_databases:
            return
        time.sleep(3.2)  # the module closes its idle connections after 3 s
        for name in self.server_databases:
            subprocess.run(["psql", SERVER, "-q", "-c",
                            "drop database if exists %s with (force)" % name],
                           capture_output=True)


@pytest.fixture(scope="session", params=["file", "server"])
def databases(request, tmp_path_factory):
    if request.param == "server" and not SERVER:
        if os.environ.get("STRATALOOM_REQUIRE_SERVER") == "1":
            pytest.fail("STRATALOOM_REQUIRE_SERVER=1 but STRATALOOM_TEST_SERVER is not set")
        pytest.skip("no test server: set STRATALOOM_TEST_SERVER")
    made = Databases(request.param, str(tmp_path_factory.mktemp(request.param)))
    yield made
    made.drop()


@pytest.fixture(scope="session")
def shared_db(databases):
    """One project database per engine, shared by the tests that each work on
    wells of their own."""
    return databases.make()


@pytest.fixture
def project(shared_db):
    with strataloom.open(shared_db) as opened:
        yield opened


@pytest.fixture
def well_name(request):
    """A well name no other test uses."""
    return "W_%s_%d" % (request.node.name[:20].replace("[", "_").replace("]", ""), next(_names))
