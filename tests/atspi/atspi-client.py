#!/usr/bin/python3
"""An AT-SPI client for the tests, through the desktop's own library (pyatspi, libatspi).

    atspi-client.py apps                    the applications on the desktop, one a line
    atspi-client.py tree APP                every object of APP as JSON: name, description,
                                            role, states, extents on the screen, actions
    atspi-client.py do APP NAME ACTION      does the named action of the object so named
    atspi-client.py focus APP FILE          writes the name of each object that gains the
                                            focus to FILE, a line each, until ended
"""

import json
import sys

import pyatspi


def application(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == name:
            return app
    sys.exit(f"no application {name!r} on the desktop")


def actions_of(accessible):
    try:
        action = accessible.queryAction()
        return [action.getName(i) for i in range(action.nActions)]
    except NotImplementedError:
        return []


def extents_of(accessible):
    try:
        box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return [box.x, box.y, box.width, box.height]
    except NotImplementedError:
        return None


def describe(accessible, parent_name):
    return {
        "name": accessible.name,
        "parent": parent_name,
        "description": accessible.description,
        "role": accessible.getRoleName(),
        "states": sorted(pyatspi.stateToString(s) for s in accessible.getState().getStates()),
        "extents": extents_of(accessible),
        "actions": actions_of(accessible),
    }


def walk(accessible, parent_name, into):
    into.append(describe(accessible, parent_name))
    for child in accessible:
        walk(child, accessible.name, into)
    return into


def find(accessible, name):
    if accessible.name == name:
        return accessible
    for child in accessible:
        found = find(child, name)
        if found is not None:
            return found
    return None


def do(app_name, name, action_name):
    target = find(application(app_name), name)
    if target is None:
        sys.exit(f"no object {name!r}")
    action = target.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if action_name not in names or not action.doAction(names.index(action_name)):
        sys.exit(f"{name!r} does not {action_name!r}")
    print("done")


def follow_focus(app_name, path):
    with open(path, "a", buffering=1) as log:
        def gained(event):
            if event.detail1 == 1 and event.host_application.name == app_name:
                log.write(event.source.name + "\n")

        pyatspi.Registry.registerEventListener(gained, "object:state-changed:focused")
        log.write("listening\n")
        pyatspi.Registry.start()


def main(arguments):
    command = arguments[0] if arguments else ""
    if command == "apps":
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None:
                print(app.name)
    elif command == "tree" and len(arguments) == 2:
        print(json.dumps(walk(application(arguments[1]), "", [])))
    elif command == "do" and len(arguments) == 4:
        do(*arguments[1:])
    elif command == "focus" and len(arguments) == 3:
        follow_focus(*arguments[1:])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
