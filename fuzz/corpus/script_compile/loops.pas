program Loops;
var i, s: integer; t: string;
begin
  s := 0; t := '';
  for i := 1 to 10 do begin s := s + i * 2 div 3 mod 7; t := t + 'x' end;
  i := 10;
  while i > 0 do i := i - 1;
  repeat i := i + 1 until i >= 5;
  if (s > 3) and not (i = 2) then s := -s else s := s shl 2;
  Print('s = ', IntToStr(s));
end.
