"""Writes the project file of a benchmark corpus: every file of the corpus
installed under %install path% in its own folder, with the settings a
benchmark needs and nothing else.

    corpus_project.write(corpus_dir, relative_paths, project_file)
    corpus_project.write_files([(source, relative_path), ...], project_file)"""
import os


def write(corpus, relative_paths, project):
    write_files([(os.path.join(os.path.abspath(corpus), rel), rel) for rel in relative_paths], project)


def write_files(files, project):
    """`files`: (source path, path below the install folder with '/') pairs;
    the sources need not exist."""
    folders = sorted({os.path.dirname(rel) for _, rel in files})
    lines = ["%install path%\\", "%custom path%\\"]
    for folder in folders:
        parts = folder.split("/")
        for k in range(1, len(parts) + 1):
            p = "%install path%\\" + "\\".join(parts[:k]) + "\\"
            if p not in lines:
                lines.append(p)
    lines.append("|")
    for source, rel in files:
        lines += [source, os.path.basename(rel),
                  "%install path%\\" + "\\".join(os.path.dirname(rel).split("/")) + "\\"]
    lines += ["|"] * 3 + ["|"] * 6 + ["|"] * 4 + ["|"] * 13
    lines += ["", "", "Bench", "%name% Setup", "%program files%\\%name%", "", "false", "0", "false", "OK",
              "false", "true", "false", "true", "%name%", "640", "480", "", "", "32768",
              "%a registry key macro%", "false", "Arial", "36", "700", "0", "0", "0", "0",
              "255", "255", "255", "0", "0", "0", "0", "0", "255", "0", "0", "0", "0", "true", "4"]
    with open(project, "wb") as f:
        f.write("".join(l + "\r\n" for l in lines).encode())
