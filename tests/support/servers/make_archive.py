#!/usr/bin/python3
"""Writes test archives, including the malformed names a hostile archive may carry.

  make_archive.py zip OUT MEMBER...     MEMBER is path=content, or path/ for a folder
  make_archive.py targz OUT MEMBER...   also symlink:path=target
  make_archive.py gz OUT STORED CONTENT STORED is the name kept in the header, - for none
"""
import gzip
import io
import sys
import tarfile
import warnings
import zipfile


def members(args):
    for arg in args:
        if arg.endswith("/"):
            yield "dir", arg, b""
        elif arg.startswith("symlink:"):
            path, target = arg[len("symlink:"):].split("=", 1)
            yield "symlink", path, target
        else:
            path, content = arg.split("=", 1)
            yield "file", path, content.encode()


def write_zip(out, args):
    warnings.simplefilter("ignore")  # duplicate names are wanted here
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as archive:
        for kind, path, content in members(args):
            archive.writestr(zipfile.ZipInfo(path), content)


def write_targz(out, args):
    with tarfile.open(out, "w:gz") as archive:
        for kind, path, content in members(args):
            info = tarfile.TarInfo(path)
            if kind == "dir":
                info.type = tarfile.DIRTYPE
                archive.addfile(info)
            elif kind == "symlink":
                info.type = tarfile.SYMTYPE
                info.linkname = content
                archive.addfile(info)
            else:
                info.size = len(content)
                archive.addfile(info, io.BytesIO(content))


def write_gz(out, stored, content):
    with open(out, "wb") as raw:
        with gzip.GzipFile(filename="" if stored == "-" else stored, mode="wb", fileobj=raw, mtime=0) as archive:
            archive.write(content.encode())


def main():
    kind, out, rest = sys.argv[1], sys.argv[2], sys.argv[3:]
    if kind == "zip":
        write_zip(out, rest)
    elif kind == "targz":
        write_targz(out, rest)
    elif kind == "gz":
        write_gz(out, rest[0], rest[1])
    else:
        sys.exit("unknown kind " + kind)


if __name__ == "__main__":
    main()
