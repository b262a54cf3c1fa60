! Writes, for each 32-bit pattern of the input stream, the real it encodes by the five output
! layouts the loading tool uses, then four of those texts shortened by tidy_number_text.
program format_reference
  implicit none
  integer :: bits, ios
  real :: x
  character(len=14) :: g7, g6, f7, g3, t7, t6, tf, t3
  character(len=16) :: g16
  character(len=1024) :: in_path, out_path

  call get_command_argument(1, in_path)
  call get_command_argument(2, out_path)
  open(10, file=in_path, access='stream', form='unformatted', status='old')
  open(11, file=out_path, status='replace', form='formatted')
  do
    read(10, iostat=ios) bits
    if (ios /= 0) exit
    x = transfer(bits, x)
    write(g7, '(G14.7)') x
    write(g6, '(1P,G14.6)') x
    write(g16, '(G16.6)') x
    write(f7, '(F14.7)') x
    write(g3, '(1P,G14.3)') x
    t7 = g7
    t6 = g6
    tf = f7
    t3 = g3
    call tidy_number_text(t7)
    call tidy_number_text(t6)
    call tidy_number_text(tf)
    call tidy_number_text(t3)
    write(11, '(10A)') g7, g6, g16, f7, g3, t7, t6, tf, t3, '|'
  end do
  close(11)

contains

  include 'tidy_number_text.inc'

end program format_reference
