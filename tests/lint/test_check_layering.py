"""The layering checker on small made-up trees: what it must catch and what it must let through."""
import importlib.util
import os
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, "..", "..", "scripts", "check-layering.py")
spec = importlib.util.spec_from_file_location("check_layering", SCRIPT)
check_layering = importlib.util.module_from_spec(spec)
spec.loader.exec_module(check_layering)


class CheckLayering(unittest.TestCase):
    def tree(self, files):
        root = tempfile.mkdtemp()
        for name, text in files.items():
            path = os.path.join(root, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write(text)
        return root

    def test_cases(self):
        # (file, its text, expected "file:line" of the findings)
        cases = [
            ("core/A.cpp", '#include "core/B.h"\n#include <string>\n', []),
            ("core/A.cpp", '#include <vector>\n#include "engine/X.h"\n', ["core/A.cpp:2"]),
            ("core/A.h", '  #  include "ui/Main_fm.h"\n', ["core/A.h:1"]),
            ("core/A.cpp", '#include "../views/Chart.h"\n', ["core/A.cpp:1"]),
            ("core/A.cpp", "#include <QString>\n", ["core/A.cpp:1"]),
            ("engine/A.cpp", "#include <QtCore/QObject>\n", ["engine/A.cpp:1"]),
            ("engine/A.cpp", '#include "core/X.h"\n#include <queue>\n', []),
            ("engine/A.cpp", '#include "views/X.h"\n#include "export/Y.h"\n', ["engine/A.cpp:1", "engine/A.cpp:2"]),
            ("views/A.cpp", '#include <QWidget>\n#include "engine/X.h"\n#include "export/Y.h"\n', ["views/A.cpp:3"]),
            ("export/A.cpp", '#include "views/X.h"\n#include "ui/Y.h"\n', ["export/A.cpp:2"]),
            ("ui/A.cpp", '#include "export/X.h"\n#include "core/Y.h"\n', []),
            # Commented-out includes and includes outside the layers are not findings.
            ("core/A.cpp", '// #include "ui/X.h"\n#include "gtest/gtest.h"\n', []),
        ]
        for name, text, expected in cases:
            with self.subTest(name=name, text=text):
                root = self.tree({name: text})
                found = [":".join(p.split(":")[:2]) for p in check_layering.check_tree(root)]
                self.assertEqual(found, expected)

    def test_exit_code(self):
        self.assertEqual(check_layering.check_tree(self.tree({"ui/A.cpp": '#include "core/X.h"\n'})), [])
        import subprocess, sys
        bad = self.tree({"core/A.cpp": '#include "engine/X.h"\n'})
        run = subprocess.run([sys.executable, SCRIPT, bad], capture_output=True, text=True)
        self.assertEqual(run.returncode, 1)
        self.assertIn("core/A.cpp:1:", run.stdout)


if __name__ == "__main__":
    unittest.main()
