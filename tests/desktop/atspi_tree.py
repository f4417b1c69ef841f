"""What the desktop tests read of a window's accessible tree."""
import pyatspi


def walk(obj):
    yield obj
    for i in range(obj.childCount):
        child = obj.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def showing(obj):
    return obj.getState().contains(pyatspi.STATE_SHOWING)
