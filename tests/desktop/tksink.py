# The Tk counterpart of typesink: a text window of a toolkit that reads the
# keys through Xlib, not through Qt's own keymap. It takes the keyboard focus,
# writes everything it holds to the file named on its command line whenever
# its text changes, and "ready" to that name plus ".ready" once it has the focus.
import os
import sys
import tkinter

out = sys.argv[1]
root = tkinter.Tk()
root.title("tksink")
text = tkinter.Text(root)
text.pack()


def save(_event):
    with open(out + ".tmp", "w", encoding="utf-8") as file:
        file.write(text.get("1.0", "end-1c"))
    os.replace(out + ".tmp", out)
    text.edit_modified(False)


def take_focus():
    text.focus_force()
    if root.focus_get() is text:
        with open(out + ".ready", "w") as ready:
            ready.write("ready")
    else:
        root.after(50, take_focus)


text.bind("<<Modified>>", save)
root.after(50, take_focus)
root.mainloop()
