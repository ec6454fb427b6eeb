# Runs a command with SIGNAL either ignored or at its default disposition
# (as the parent leaves it), sends SIGNAL to it after DELAY seconds and
# prints how it ended: "status=N" or "signal=NAME".
#
#   send-signal.py ignore|default SIGNAL DELAY command...
import signal
import subprocess
import sys
import time

mode, name, delay = sys.argv[1], sys.argv[2], float(sys.argv[3])
number = getattr(signal, name)
signal.signal(number, signal.SIG_IGN if mode == "ignore" else signal.SIG_DFL)
child = subprocess.Popen(sys.argv[4:])
time.sleep(delay)
child.send_signal(number)
status = child.wait()
if status < 0:
    print("signal=" + signal.Signals(-status).name)
else:
    print("status=%d" % status)
sys.stdout.flush()
