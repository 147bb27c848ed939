#!/usr/bin/env python3
# Checks the layering of src/ by its #include lines: the core includes nothing outside the
# core, nothing in src/gui but the main window's own files includes the main window (the
# commands it owns get what they need when they are made), and no files include each other
# in a circle. Run from the source root; exits 1 when something is wrong.
import os,re,sys
root='src'
inc={}
for d,_,fs in os.walk(root):
    for f in fs:
        if f.endswith(('.h','.cpp','.h.in')):
            p=os.path.join(d,f)
            inc[p]=re.findall(r'#include "([^"]+)"',open(p).read())
def resolve(name):
    for base in ['src/core','src/gui','src']:
        q=os.path.join(base,name)
        if os.path.exists(q): return q
    return None
bad=0
for p,ns in inc.items():
    for n in ns:
        q=resolve(n)
        if p.startswith('src/core') and q and not q.startswith('src/core'): print('core->outside',p,q); bad=1
        if p.startswith('src/gui') and not p.startswith('src/gui/app/MainWindow.') and n=='app/MainWindow.h': print('includes the main window:',p); bad=1
# cycles among headers
g={p:[resolve(n) for n in ns if resolve(n)] for p,ns in inc.items()}
seen={};stack=[]
def dfs(u):
    global bad
    seen[u]=1;stack.append(u)
    for v in g.get(u,[]):
        if seen.get(v)==1: print('cycle',' -> '.join(stack[stack.index(v):]+[v])); bad=1
        elif not seen.get(v): dfs(v)
    stack.pop();seen[u]=2
for u in g:
    if not seen.get(u): dfs(u)
print('ok' if not bad else 'problems'); sys.exit(bad)
