Cave
;
info
360 360 0 1
0 0 0
A1   A1   0 0 0 0 0 0 0
$ 3
$a.jpg
$   b.jpg
$
