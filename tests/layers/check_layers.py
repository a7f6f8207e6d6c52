#!/usr/bin/env python3
"""Fails when a source file includes a header of an area it may not depend on.

The areas and what each may include run one way, from the platform at the bottom to the
program's entry at the top; an area not listed here is refused until it is added.
Usage: check_layers.py SRC_FOLDER
"""
import os
import re
import sys

# Each area (a folder below src/, longest match first) and the areas it may include besides
# itself. Ranks: 0 platform, 1 stores and descriptions, 2 subsystems, 3 their dialogs, 4 app.
ALLOWED = {
    "platform": (0, set()),
    "platform/web": (0, {"platform"}),
    "history": (1, {"platform", "platform/web"}),
    "settings": (1, {"platform", "platform/web"}),
    "commands": (1, set()),
    "browser/strip": (2, set()),
    "browser": (2, {"platform", "platform/web", "settings", "browser/strip"}),
    "address": (2, {"platform", "history", "settings"}),
    "groups": (2, {"platform"}),
    "bars": (2, {"platform", "commands", "settings"}),
    "desktop": (2, {"platform"}),
    "sidebar": (2, {"platform", "platform/web", "history", "settings", "groups", "browser",
                    "browser/strip", "commands"}),
    "mail": (2, {"platform", "platform/web", "settings"}),
    "blocking": (2, {"platform", "platform/web", "settings"}),
    "blocking/window": (3, {"platform", "platform/web", "settings", "blocking", "browser",
                            "browser/strip", "browser/window", "integration", "commands"}),
    "links": (2, {"platform", "platform/web", "settings"}),
    "search": (2, {"platform", "platform/web", "settings", "browser"}),
    "session": (2, {"platform", "platform/web", "settings", "browser"}),
    "integration": (2, {"platform", "platform/web", "settings", "history"}),
    "integration/window": (3, {"platform", "platform/web", "settings", "integration", "address",
                               "browser", "browser/strip"}),
    "formfiller": (2, {"platform", "platform/web", "settings", "integration"}),
    "formfiller/dialogs": (3, {"platform", "settings", "integration", "formfiller"}),
    "favorites": (2, {"platform", "platform/web", "settings", "integration"}),
    "favorites/dialogs": (3, {"platform", "platform/web", "settings", "integration", "favorites",
                              "sidebar"}),
    "browser/dialogs": (3, {"platform", "settings"}),
    "browser/window": (3, {"platform", "platform/web", "settings", "browser", "browser/strip",
                           "commands"}),
    "settings/dialogs": (3, {"platform", "settings", "browser/strip"}),
    "groups/dialogs": (3, {"platform", "groups"}),
    "address/window": (3, {"platform", "settings", "history", "address", "browser",
                           "browser/strip"}),
    "settings/window": (3, {"platform", "platform/web", "settings", "settings/dialogs",
                            "history"}),
    "session/window": (3, {"platform", "platform/web", "settings", "session", "browser",
                           "browser/strip", "groups", "address"}),
    "groups/window": (3, {"platform", "platform/web", "settings", "groups", "browser",
                          "browser/strip", "address"}),
    "formfiller/window": (3, {"platform", "platform/web", "settings", "integration", "formfiller",
                              "formfiller/dialogs", "browser", "browser/strip", "commands"}),
    "mail/window": (3, {"platform", "platform/web", "settings", "mail", "browser",
                        "browser/strip", "commands"}),
    "sidebar/window": (3, {"platform", "platform/web", "settings", "history", "groups", "browser",
                           "browser/strip", "commands", "sidebar"}),
    "links/window": (3, {"platform", "platform/web", "settings", "integration", "links", "bars",
                         "browser", "browser/strip"}),
    "favorites/window": (3, {"platform", "platform/web", "settings", "integration", "favorites",
                             "favorites/dialogs", "sidebar", "browser", "browser/strip",
                             "commands", "bars"}),
    "address/dialogs": (3, set()),
    "search/window": (3, {"platform", "platform/web", "settings", "history", "search",
                          "search/dialogs", "address", "address/dialogs", "sidebar", "browser",
                          "browser/strip", "commands"}),
    "search/dialogs": (3, {"platform", "settings", "search"}),
    "bars/dialogs": (3, {"platform", "commands", "bars"}),
    "bars/window": (3, {"platform", "platform/web", "commands", "settings", "bars", "bars/dialogs",
                        "address", "browser", "browser/strip"}),
    "passwords": (2, {"platform", "platform/web", "settings"}),
    "passwords/dialogs": (3, {"platform", "settings", "passwords"}),
    "passwords/window": (3, {"platform", "platform/web", "settings", "passwords",
                             "passwords/dialogs", "browser", "browser/strip", "browser/window",
                             "commands"}),
    "app": (4, None),  # the top: anything below it
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def area_of(path):
    """The area of a path relative to src/ (its folder, matched longest first)."""
    folder = os.path.dirname(path)
    for name in sorted(ALLOWED, key=len, reverse=True):
        if folder == name or folder.startswith(name + "/"):
            return name
    return None


def check_table():
    problems = []
    for name, (rank, uses) in ALLOWED.items():
        for used in uses or ():
            if used not in ALLOWED:
                problems.append(f"table: {name} uses unknown area {used}")
            elif ALLOWED[used][0] > rank or (ALLOWED[used][0] == rank and name in (ALLOWED[used][1] or ())):
                problems.append(f"table: {name} (rank {rank}) may not use {used}")
    return problems


def include_circles(headers):
    """Circles of parts that include each other: `headers` maps a part (a header, or a header
    and its source file, named by their path relative to src/ without the ending) to the
    parts of ours it includes. Each circle is given once, from its first part."""
    circles = []
    seen = set()
    state = {}  # header -> 1 while on the path, 2 when done

    def visit(header, path):
        state[header] = 1
        for included in sorted(headers.get(header, ())):
            if included not in headers:
                continue
            if state.get(included) == 1:
                circle = path[path.index(included):] + [included]
                key = frozenset(circle)
                if key not in seen:
                    seen.add(key)
                    circles.append(" -> ".join(circle))
            elif included not in state:
                visit(included, path + [included])
        state[header] = 2

    for header in sorted(headers):
        if header not in state:
            visit(header, [header])
    return circles


def main(src):
    problems = check_table()
    checked = 0
    headers = {}  # each header's part -> the parts whose headers it includes
    parts = {}    # the same for a header and its source file together
    for root, _, files in os.walk(src):
        for file in files:
            if not file.endswith((".h", ".cpp")):
                continue
            path = os.path.relpath(os.path.join(root, file), src)
            area = area_of(path)
            if area is None:
                problems.append(f"{path}: in no known area")
                continue
            rank, uses = ALLOWED[area]
            with open(os.path.join(root, file), encoding="utf-8", errors="replace") as text:
                includes = INCLUDE.findall(text.read())
                part = os.path.splitext(path)[0]
                used = {os.path.splitext(included)[0] for included in includes} - {part}
                parts.setdefault(part, set()).update(used)
                if file.endswith(".h"):
                    headers[part] = used
                for included in includes:
                    target = area_of(included)
                    checked += 1
                    if target is None or target == area:
                        continue  # a header of the same area, or not one of ours
                    if uses is None:
                        ok = ALLOWED[target][0] < rank
                    else:
                        ok = target in uses
                    if not ok:
                        problems.append(f"{path}: includes {included} ({area} may not use {target})")
    # No header includes itself round a circle, anywhere. In the program's entry no part
    # includes the window whose source includes the part either (the window once handed
    # itself to every part): each part there is read, built and tested before the window.
    circles = include_circles(headers)
    circles += include_circles({part: {used for used in uses if used.startswith("app/")}
                                for part, uses in parts.items() if part.startswith("app/")})
    problems += [f"parts include each other: {circle}" for circle in dict.fromkeys(circles)]
    for problem in problems:
        print(problem)
    print(f"layers: {checked} includes checked")
    print(f"{0 if problems else 1} passed, {1 if problems else 0} failed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "src"))
